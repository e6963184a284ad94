// The cell commands of parlo-cli (set, key, pick) on a fuzzed image with
// fuzzed text. The image is a variant's factory file with fuzzed runs of
// bytes written over its radio area; like a file it is used only when it
// passes the checks of File > Open. Then up to four commands run on any
// cell reference a user may type, as the command line runs them (a refused
// one ends the run, as it ends the command). What the commands leave must
// still save as a file this program opens.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <string>

#include "app/Document.h"
#include "cells/CellDispatcher.h"
#include "cells/CellIndexRange.h"
#include "cli/CliSession.h"
#include "clone/CloneFileOps.h"
#include "clone/ContentValidation.h"
#include "codecs/OverlayList.h"
#include "fuzz/FuzzSupport.h"
#include "model/ModelVariant.h"
#include "model/PackedLayout.h"
#include "runtime/EventManager.h"
#include "tests/support/VirtualScheduler.h"

using namespace parlo;

namespace {

struct Setting {
    test::VirtualScheduler clock;
    EventManager events{clock};
    Document doc{events};
    std::array<EepromImage, kVariantCount> files;     // as the initial files hold them
    std::array<EepromImage, kVariantCount> defaults;  // unpacked, as a document's default image

    Setting() {
        for (int v = 0; v < kVariantCount; ++v) {
            if (!doc.SelectModel(v)) fuzz::Finding("an initial file cannot be read");
            files[static_cast<size_t>(v)].SetSize(kImageSize);
            ReadInitialFile(Document::InitialFilePath(v), files[static_cast<size_t>(v)]);
            defaults[static_cast<size_t>(v)].Assign(doc.Defaults());
        }
        doc.NewFromDefaults();  // a document of this map revision to open files against
    }
};

Setting& TheSetting() {
    static Setting* s = new Setting;
    return *s;
}

// The factory file of a variant with fuzzed bytes written over it.
EepromImage FuzzedImage(FuzzedDataProvider& in) {
    EepromImage image;
    image.Assign(TheSetting().files[in.ConsumeIntegralInRange<size_t>(0, kVariantCount - 1)]);
    const int runs = in.ConsumeIntegralInRange(0, 16);
    for (int r = 0; r < runs; ++r) {
        const int32_t at = in.ConsumeIntegralInRange<int32_t>(0, kRadioAreaEnd);
        const std::vector<uint8_t> bytes =
            in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange(1, 32));
        for (size_t i = 0; i < bytes.size() && at + static_cast<int32_t>(i) <= kRadioAreaEnd; ++i)
            image.SetByte(at + static_cast<int32_t>(i), bytes[i]);
    }
    return image;
}

// Loads the image as File > Open does; false when Open would refuse it.
bool Load(Document& doc, const EepromImage& image) {
    if (!ValidateContent(image, doc.Working(), false) || IsNewerData(image)) return false;
    // The variant the image says, with its default image in place as a
    // document of that variant has it.
    EepromImage unpacked;
    unpacked.Assign(image);
    Unpack(unpacked);
    const int variant = VariantFromImage(unpacked);
    doc.Defaults().Assign(TheSetting().defaults[static_cast<size_t>(variant)]);
    doc.SetVariant(variant);
    doc.Working().Assign(image);
    return doc.AfterLoad();
}

CellDesc FuzzedReference(FuzzedDataProvider& in) {
    CellDesc d;
    d.category = in.ConsumeIntegralInRange<int>(0, kNoCategory);
    d.cell = in.ConsumeIntegralInRange<int>(0, kCellCount - 1);
    const auto range = CellIndexRange(d.category, d.cell);
    d.index = range ? in.ConsumeIntegralInRange(range->first, range->last)
                    : in.ConsumeIntegral<int32_t>();
    d.flagsA = CellDesc::kSelectable;
    return d;
}

CellContext OnGrid(const CellDesc& d) {
    CellContext ctx;
    ctx.desc = &d;
    ctx.request.grid = true;
    return ctx;
}

class Commands {
public:
    Commands(Document& doc, cli::CliPrompts& refusals)
        : refusals_(refusals), host_(doc, refusals), cells_(doc.Scope(), &host_) {}

    // False once a command was refused.
    bool Run(FuzzedDataProvider& in) {
        const CellDesc d = FuzzedReference(in);
        switch (in.ConsumeIntegralInRange(0, 2)) {
            case 0: {
                CellContext ctx = OnGrid(d);
                ctx.request.phase = kPhaseCommit;
                ctx.request.editText = in.ConsumeRandomLengthString(40);
                return Operate(ctx);
            }
            case 1: {
                const int keys = in.ConsumeIntegralInRange(1, 8);
                for (int k = 0; k < keys; ++k) {
                    CellContext ctx = OnGrid(d);
                    ctx.operation = ctx.request.key = in.ConsumeIntegralInRange(1, 255);
                    if (!Operate(ctx)) return false;
                }
                return true;
            }
            default: return Pick(d, in);
        }
    }

private:
    bool Operate(CellContext& ctx) {
        const int before = refusals_.refusals + fuzz::SetUpOnce().refusals;
        cells_.Handle(ctx, kModeOperate);
        return !ctx.rejected && refusals_.refusals + fuzz::SetUpOnce().refusals == before;
    }

    // Enter opens the cell's list; each item answers the list open then.
    bool Pick(const CellDesc& d, FuzzedDataProvider& in) {
        CellContext open = OnGrid(d);
        open.operation = open.request.key = kKeyEnter;
        if (!Operate(open)) return false;
        PopupRequest popup = open.request.popup;
        bool pending = open.request.requestEdit == kEditPopup;
        const int items = in.ConsumeIntegralInRange(1, 3);
        for (int i = 0; i < items && pending; ++i) {
            const bool listed = popup.kind != PopupKind::CheckBoxes &&
                                popup.kind != PopupKind::TextEntry &&
                                popup.kind != PopupKind::CharacterEditor;
            const int count = listed ? ListCount(popup.list) : 64;
            if (count <= 0) return false;
            CellContext pick = OnGrid(d);
            pick.pick = true;
            pick.request.phase = kPhasePick;
            pick.request.chosen = ChosenItem{popup.kind, in.ConsumeIntegralInRange(0, count - 1)};
            if (!Operate(pick)) return false;
            popup = pick.request.popup;
            pending = pick.request.requestEdit == kEditPopup;
        }
        return true;
    }

    cli::CliPrompts& refusals_;
    cli::CliHost host_;
    CellDispatcher cells_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::QuietPrompts& quiet = fuzz::SetUpOnce();
    Setting& s = TheSetting();
    FuzzedDataProvider in(data, size);
    try {
        if (!Load(s.doc, FuzzedImage(in))) return 0;
        quiet.agree = in.ConsumeBool();  // --yes or not
        cli::CliPrompts refusals(quiet.agree);
        SetPrompts(&quiet);  // it answers as the command line does, without printing
        Commands commands(s.doc, refusals);
        bool saved = true;
        for (int n = in.ConsumeIntegralInRange(1, 4); n > 0 && saved; --n) saved = commands.Run(in);
        if (!saved) return 0;  // the command ends without a save
        EepromImage file;
        file.Assign(s.doc.Working());
        s.doc.PrepareImage(file, PackMode::Save);
        if (!ValidateContent(file, s.doc.Working(), false) || IsNewerData(file))
            fuzz::Finding("the edited document saves as a file this program refuses");
    } catch (const fuzz::FatalError& e) {
        fuzz::Finding(std::string("a cell command caused the program error: ") + e.what());
    }
    return 0;
}
