#include "sheet/BankSheet.h"

#include <charconv>

#include "codecs/SegmentText.h"
#include "model/BankMap.h"
#include "model/ChannelMap.h"
#include "overlay/OverlayText.h"
#include "platform/Fatal.h"
#include "platform/NumberText.h"
#include "runtime/EventCodes.h"
#include "sheet/ParameterBlock.h"

namespace parlo {

BankSheet::BankSheet(Params params, DocumentScope scope, DispatchFunction dispatcher)
    : Sheet(std::move(params), scope, std::move(dispatcher)) {
    // A parameter that names no bank leaves bank 0 with no channels.
    if (const std::optional<int> bank = BankOf(GetParams().parameter)) {
        bank_ = *bank;
        firstSlot_ = BankFirstSlot(Image(), bank_);
        size_ = parlo::BankSize(Image(), bank_);
    }
    events_ = Events().Subscribe([this](const EventRecord& event) { OnEvent(event); });
}

std::optional<int> BankSheet::BankOf(const std::string& parameterText) {
    const ParameterBlock parameter(parameterText);
    if (parameter.Name() != "Bank") return std::nullopt;
    const std::string value = parameter.Value(0);
    int bank = -1;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), bank);
    if (ec != std::errc() || end != value.data() + value.size() || bank < 0 || bank >= kBankCount)
        return std::nullopt;
    return bank;
}

BankSheet::~BankSheet() = default;

void BankSheet::HandleDirective(const std::string& directive) {
    if (directive != "LoopFrom") {
        Sheet::HandleDirective(directive);
        return;
    }
    // The channel loop: one row per channel, and on screen one more for
    // adding a channel, which takes no part in multi-selection.
    StartLoop(CurrentLine(), Printing() ? size_ : size_ + 1);
    if (!Printing()) excludedRow_ = size_ + 5;
    if (firstChannelRow_ < 0) firstChannelRow_ = static_cast<int>(Rows().size());
}

void BankSheet::BeforeRow(int row) {
    if (row != firstChannelRow_) return;
    SheetCounters()[0] = firstSlot_;
}

void BankSheet::AfterBuild() {
    // The bank sheet keeps no per-row selection flag: every row takes part
    // in multi-selection except the row for adding a channel.
    for (int r = 0; r < RowCount(); ++r) {
        const bool takesPart = Style().multiSelect != 0 && r != excludedRow_;
        for (int c = 0; c < ColCount(); ++c) {
            uint8_t& m = Marks(c, r);
            m = static_cast<uint8_t>(takesPart ? m | kMarkTakesPart : m & ~kMarkTakesPart);
        }
    }
    Events().Post(ev::kViewsRefresh);
}

std::string BankSheet::BankName() const {
    if (bank_ < 0 || bank_ >= kBankCount) return {};
    uint8_t field[8];
    Image().ReadBlock(kAddrBankNames + 8 * bank_, field, 8);
    return SegmentTextForm(field, false);
}

std::string BankSheet::FlagText() const {
    return BankFlag(Image(), bank_) ? OvlText("GI_AppInd_MchSheet_Printer_SmarTrunk")
                                    : std::string();
}

std::string BankSheet::TitleText() const {
    const int left = kChannelSlots - UsedInAllBanks(Image());
    return Format("%s %d: %s %s (Left CH - %d)", Style().title.c_str(), bank_ + 1,
                  BankName().c_str(), FlagText().c_str(), left);
}

uint32_t BankSheet::TitleColour() const { return BankFlag(Image(), bank_) ? 0xFFFF00u : 0x00FFFFu; }

std::string BankSheet::PrintHeadText() const {
    return Format("%s %d: %s %s", OvlText("GI_AppInd_MchSheet_Printer_Head").c_str(), bank_ + 1,
                  BankName().c_str(), FlagText().c_str());
}

bool BankSheet::Printable() const { return !Style().noPrint && size_ >= 1; }

void BankSheet::ChannelAppended() {
    if (RowCount() >= kArrayRows || size_ >= kChannelSlots) return;
    // Only a bank that grew past the rows shown takes a row: the news of a
    // channel appended to another bank, or of one the sheet was built with,
    // changes nothing.
    if (parlo::BankSize(Image(), bank_) <= size_) return;
    const int last = RowCount() - 1;
    for (int c = 0; c < ColCount(); ++c) {
        Marks(c, last) |= kMarkTakesPart;
        Marks(c, last + 1) = static_cast<uint8_t>(Marks(c, last + 1) & ~kMarkTakesPart);
    }
    ++size_;
    SetRowCount(RowCount() + 1);
    CopyRowHeight(last + 1, last);
}

void BankSheet::ChannelRemoved() {
    if (size_ <= 0) return;
    const int last = RowCount() - 1;
    for (int c = 0; c < ColCount(); ++c)
        Marks(c, last - 1) = static_cast<uint8_t>(Marks(c, last - 1) & ~kMarkTakesPart);
    --size_;
    SetRowCount(RowCount() - 1);
    if (Row() > 0) SelectSlot(Col(), Row() - 1);
}

void BankSheet::OnEvent(const EventRecord& event) {
    switch (event.code) {
        case ev::kBankRange:
            if (event.mode == EvMode::Request) Events().Answer(ev::kBankRange, {bank_, firstSlot_});
            break;
        case ev::kViewsRefresh:
            if (View() != nullptr && !Style().title.empty()) View()->TitleChanged();
            break;
        case ev::kChannelAppended: ChannelAppended(); break;
        case ev::kChannelRemoved: ChannelRemoved(); break;
        default: break;
    }
}

}  // namespace parlo
