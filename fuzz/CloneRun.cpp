#include "fuzz/CloneRun.h"

#include "model/ChannelRecord.h"
#include "model/ModelVariant.h"
#include "platform/Fatal.h"

namespace parlo::fuzz {

namespace {

// The LMR factory image as a document holds it, read once.
const EepromImage& LmrDefaults() {
    static const EepromImage* defaults = [] {
        EventManager events(scheduler());
        Document doc(events);
        if (!doc.SelectModel(kVariantLmr)) fatal("the LMR initial file cannot be read");
        auto* image = new EepromImage;
        image->Assign(doc.Defaults());
        return image;
    }();
    return *defaults;
}

}  // namespace

void StartDocument(Document& doc) {
    doc.Defaults().Assign(LmrDefaults());
    doc.SetVariant(kVariantLmr);
    doc.NewFromDefaults();
    // One channel, so that a write has something to send.
    doc.AppendChannel(0);
    ChannelRecord channel(doc.Working());
    channel.Decode(ChannelKindOf(kVariantLmr), 0);
    channel.present = true;
    channel.SetValue(Field::RxFreq, 150000000);
    channel.SetValue(Field::TxFreq, 150000000);
    channel.Store();
    doc.RebuildModelData();
}

CloneRun::CloneRun()
    : manager_(std::make_unique<test::ScriptedSerial>(script_), clock_),
      commands_(document_, manager_) {
    StartDocument(document_);
    manager_.SetPort(1, "/dev/ttyUSB0");
}

CloneRun::~CloneRun() = default;

std::optional<int> CloneRun::Run(const RadioStream& stream, uint32_t limitMs) {
    std::optional<int> outcome;
    const auto done = [&](int o) { outcome = o; };
    if (stream.command == 1) {
        commands_.Information(done);
    } else if (stream.command == 2) {
        commands_.Read(done);
    } else {
        commands_.Write(false, done);
    }
    uint64_t due = 0;
    for (const RadioChunk& c : stream.chunks) due += c.pauseMs;
    const uint64_t end = due + limitMs;
    size_t next = 0;
    due = stream.chunks.empty() ? 0 : stream.chunks[0].pauseMs;
    for (uint64_t t = 0; !outcome && t <= end; t += 10) {
        while (next < stream.chunks.size() && due <= t) {
            const auto& bytes = stream.chunks[next].bytes;
            script_->input.insert(script_->input.end(), bytes.begin(), bytes.end());
            if (++next < stream.chunks.size()) due += stream.chunks[next].pauseMs;
        }
        clock_.Advance(10);
    }
    return outcome;
}

}  // namespace parlo::fuzz
