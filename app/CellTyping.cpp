#include "app/CellTyping.h"

namespace parlo {

std::string TrimBlanks(const std::string& text) {
    const size_t begin = text.find_first_not_of(' ');
    const size_t end = text.find_last_not_of(' ');
    return begin == std::string::npos ? std::string() : text.substr(begin, end - begin + 1);
}

CellTyping::CellTyping(DispatchFunction cells)
    : cells_(std::move(cells)), previous_(SetPrompts(this)) {}

CellTyping::~CellTyping() { SetPrompts(previous_); }

MsgAnswer CellTyping::Message(const std::string&, const std::string& text, MsgIcon,
                              MsgButtons buttons) {
    ++messages_;
    if (reason_.empty()) reason_ = text;
    return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
}

std::string CellTyping::Shown(const CellDesc& cell) {
    if (!cell.Bound()) return TrimBlanks(cell.Text());
    CellContext ctx;
    ctx.desc = &cell;
    ctx.request.grid = true;
    cells_(ctx, kModeDraw);
    return TrimBlanks(ctx.request.text);
}

bool CellTyping::Type(const CellDesc& cell, const std::string& text) {
    reason_.clear();
    adjusted_ = false;
    if (Shown(cell) == TrimBlanks(text)) return true;
    CellContext ctx;
    ctx.desc = &cell;
    ctx.request.grid = true;
    ctx.operation = 13;
    ctx.request.phase = kPhaseCommit;
    ctx.request.editText = text;
    const int messagesBefore = messages_;
    cells_(ctx, kModeOperate);
    if (!ctx.refusal.empty()) reason_ = ctx.refusal;
    if (!ctx.request.refusal.empty()) reason_ = ctx.request.refusal;
    adjusted_ = ctx.request.adjusted;
    return !ctx.rejected && messages_ == messagesBefore;
}

}  // namespace parlo
