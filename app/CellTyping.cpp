#include "app/CellTyping.h"

#include "app/ChannelColumns.h"

namespace parlo {

std::string TrimBlanks(const std::string& text) {
    const size_t begin = text.find_first_not_of(' ');
    const size_t end = text.find_last_not_of(' ');
    return begin == std::string::npos ? std::string() : text.substr(begin, end - begin + 1);
}

CellTyping::CellTyping(DispatchFunction cells, EepromImage& image)
    : cells_(std::move(cells)), image_(image), previous_(SetPrompts(this)) {}

CellTyping::~CellTyping() { SetPrompts(previous_); }

MsgAnswer CellTyping::Message(const std::string&, const std::string& text, MsgIcon,
                              MsgButtons buttons) {
    ++messages_;
    if (reason_.empty()) reason_ = text;
    return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
}

std::string CellTyping::Draw(const CellDesc& cell, bool* blanksCount) {
    return CellValueText(cells_, cell, blanksCount);
}

std::string CellTyping::Shown(const CellDesc& cell) {
    bool blanksCount = false;
    return Draw(cell, &blanksCount);
}

bool CellTyping::Type(const CellDesc& cell, const std::string& text) {
    reason_.clear();
    adjusted_ = false;
    bool blanksCount = false;
    const std::string shown = Draw(cell, &blanksCount);
    const auto same = [&](const std::string& a, const std::string& b) {
        return blanksCount ? a == b : TrimBlanks(a) == TrimBlanks(b);
    };
    if (same(shown, text)) return true;
    before_.Assign(image_);
    CellContext ctx;
    ctx.desc = &cell;
    ctx.request.grid = true;
    ctx.operation = 13;
    ctx.request.phase = kPhaseCommit;
    ctx.request.editText = text;
    ctx.request.fromTable = true;
    const int messagesBefore = messages_;
    cells_(ctx, kModeOperate);
    if (!ctx.refusal.empty()) reason_ = ctx.refusal;
    if (!ctx.request.refusal.empty()) reason_ = ctx.request.refusal;
    if (ctx.rejected || messages_ != messagesBefore) return false;
    adjusted_ = ctx.request.adjusted;
    // The same value in other words: the cell is left as it was.
    if (same(Draw(cell, &blanksCount), shown)) image_.Assign(before_);
    return true;
}

}  // namespace parlo
