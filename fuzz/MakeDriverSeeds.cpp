// Writes the seed corpus of the clone driver target: conversations with the
// simulated radio, each recorded as the stream of bytes the radio sent and
// when, then replayed through the target's own harness to show that it
// ends the same way. Usage: parlo-fuzz-driver-seeds FOLDER
#include <cstdio>
#include <functional>
#include <string>

#include "clone/ContentValidation.h"
#include "fuzz/CloneRun.h"
#include "fuzz/FuzzSupport.h"
#include "model/CloneInfo.h"
#include "tools/radio-sim/RadioSim.h"

using namespace parlo;

namespace {

struct Seed {
    const char* name;
    int command;
    sim::Fault fault;
    bool shortMemory;  // the radio's memory ends at 017F, so a read is short
};

// A radio whose memory ends at 017F and still holds a valid image there.
void ShortenMemory(EepromImage& image, std::vector<uint8_t>& identity) {
    const char* end = "017F";
    std::copy(end, end + 4, identity.begin() + kIdentityMemoryEnd);
    image.SetByte(kAddrUsedEnd, 0x01);
    image.SetByte(kAddrUsedEnd + 1, 0x80);
    for (int i = 0; i < 8; ++i) image.SetByte(0x0178 + i, static_cast<uint8_t>(kMakerText[i]));
}

fuzz::RadioStream Record(const Seed& seed, int* outcome) {
    fuzz::CloneRun run;
    sim::RadioConfig config;
    config.image.Assign(run.Doc().Working());
    config.identity = sim::DefaultIdentity(config.image);
    if (seed.shortMemory) ShortenMemory(config.image, config.identity);
    config.fault = seed.fault;
    config.faultAt = 3;
    sim::Radio radio(std::move(config));
    fuzz::RadioStream stream;
    stream.command = seed.command;
    uint32_t last = 0;
    run.Script().radio = &radio;
    run.Script().passAnswer = [&](uint8_t b) {
        const uint32_t now = run.Clock().NowMs();
        if (stream.chunks.empty() || now != last) {
            stream.chunks.push_back({now - last, {}});
            last = now;
        }
        stream.chunks.back().bytes.push_back(b);
        return true;
    };
    *outcome = run.Run(fuzz::RadioStream{seed.command, {}}, 400000).value_or(-100);
    return stream;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 64;
    }
    fuzz::SetUpOnce().agree = true;
    const Seed seeds[] = {
        {"information", 1, sim::Fault::None, false},
        {"information-wrong-model", 1, sim::Fault::WrongModel, false},
        {"information-map-revision-7", 1, sim::Fault::MapRevision7, false},
        {"read-short", 2, sim::Fault::None, true},
        {"read-bad-checksum", 2, sim::Fault::BadChecksum, true},
        {"read-wrong-end-count", 2, sim::Fault::WrongEndCount, true},
        {"read-extra-address", 2, sim::Fault::ExtraAddress, true},
        {"read-missing-address", 2, sim::Fault::MissingAddress, true},
        {"write", 3, sim::Fault::None, false},
        {"write-refusal", 3, sim::Fault::Refusal, false},
        {"write-failed", 3, sim::Fault::WriteFailed, false},
    };
    int status = 0;
    for (const Seed& seed : seeds) {
        int recorded = 0;
        const fuzz::RadioStream stream = Record(seed, &recorded);
        const std::vector<uint8_t> bytes = fuzz::EncodeRadioStream(stream);
        const std::string path = std::string(argv[1]) + "/" + seed.name;
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (f == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        std::fclose(f);
        fuzz::CloneRun replay;
        const fuzz::RadioStream parsed = fuzz::ParseRadioStream(bytes.data(), bytes.size());
        const int replayed = replay.Run(parsed, 120000).value_or(-100);
        std::printf("%-28s %6zu bytes  recorded %3d  replayed %3d\n", seed.name, bytes.size(),
                    recorded, replayed);
        if (replayed != recorded) status = 1;
    }
    return status;
}
