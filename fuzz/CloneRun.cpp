#include "fuzz/CloneRun.h"

#include "model/ChannelRecord.h"
#include "model/ModelVariant.h"
#include "platform/Fatal.h"

namespace parlo::fuzz {

Document& StartingDocument() {
    static Document* doc = new Document;
    // A read that succeeded may have switched the variant.
    if (doc->Variant() != kVariantLmr || doc->Defaults().GetByte(0) == 0) {
        if (!doc->SelectModel(kVariantLmr)) fatal("the LMR initial file cannot be read");
    }
    doc->NewFromDefaults();
    // One channel, so that a write has something to send.
    doc->AppendChannel(0);
    ChannelRecord channel(doc->Working());
    channel.Decode(ChannelKindOf(kVariantLmr), 0);
    channel.present = true;
    channel.SetValue(Field::RxFreq, 150000000);
    channel.SetValue(Field::TxFreq, 150000000);
    channel.Store();
    doc->RebuildModelData();
    return *doc;
}

CloneRun::CloneRun()
    : previousEvents_(SetEventManager(&events_)),
      manager_(std::make_unique<test::ScriptedSerial>(script_), clock_),
      commands_(StartingDocument(), manager_) {
    manager_.SetPort(1, "/dev/ttyUSB0");
}

CloneRun::~CloneRun() { SetEventManager(previousEvents_); }

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
