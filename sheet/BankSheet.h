#pragma once
// The memory channels of one bank. Its rows follow the bank's number of
// channels (plus, on screen, a row for adding one): they grow and shrink
// with the bank without the sheet being rebuilt.
#include <optional>
#include <string>

#include "runtime/EventCodes.h"
#include "runtime/EventManager.h"
#include "sheet/Sheet.h"

namespace parlo {

// Events the bank sheet handles.

class BankSheet : public Sheet {
public:
    static constexpr int kArrayRows = 74;

    BankSheet(Params params, DocumentScope scope, DispatchFunction dispatcher);
    ~BankSheet() override;

    // The bank a parameter "Bank n" names (n from 0, the tree's first bank);
    // nothing when the text names no bank of the radio.
    static std::optional<int> BankOf(const std::string& parameter);

    int Bank() const { return bank_; }
    int FirstSlot() const { return firstSlot_; }
    int BankSize() const { return size_; }
    int FirstChannelRow() const { return firstChannelRow_; }

    std::string TitleText() const override;
    uint32_t TitleColour() const override;
    std::string PrintHeadText() const override;
    bool Printable() const override;

    // A channel was appended at the end of the bank, or removed there.
    void ChannelAppended();
    void ChannelRemoved();

protected:
    void HandleDirective(const std::string& directive) override;
    void BeforeRow(int row) override;
    int ExtraRows() const override { return kArrayRows; }
    void AfterBuild() override;

private:
    void OnEvent(const EventRecord& event);
    const EepromImage& Image() const { return Document().Working(); }
    std::string BankName() const;
    std::string FlagText() const;

    int bank_ = 0;
    int firstSlot_ = 0;
    int size_ = 0;
    int firstChannelRow_ = -1;
    int excludedRow_ = -1;
    EventSubscription events_;
};

}  // namespace parlo
