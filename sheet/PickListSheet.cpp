#include "sheet/PickListSheet.h"

#include "overlay/OverlayFormat.h"
#include "overlay/OverlayText.h"

namespace parlo {

PickListSheet::PickListSheet(Params params, DocumentScope scope, DispatchFunction dispatcher)
    : Sheet(std::move(params), scope, std::move(dispatcher)) {
    OverlayText& overlay = *GetParams().overlay;
    for (int i = 0;; ++i) {
        std::string line = overlay.GetText(GetParams().key, i);
        if (!line.empty() && line[0] == '#') break;
        items_.push_back(std::move(line));
    }
}

std::string PickListSheet::SectionLine(const std::string& suffix, int index) {
    OverlayText& overlay = *GetParams().overlay;
    if (suffix != "_Cells") return overlay.GetText(kPickListLayoutKey + suffix, index);
    if (index < 0 || static_cast<size_t>(index) >= items_.size()) return "#";
    return FormatText(
        overlay.GetText(std::string(kPickListLayoutKey) + "_Cells", 0),
        {static_cast<long long>(index), EscapeDisplayText(items_[static_cast<size_t>(index)])});
}

bool ListHasOwnSheet(OverlayText& overlay, const std::string& list) {
    return overlay.TryGetText(list + "_Cells").has_value();
}

std::unique_ptr<Sheet> CreatePickSheet(const std::string& list, Sheet::Params params,
                                       DocumentScope scope, DispatchFunction dispatcher) {
    if (params.overlay == nullptr) params.overlay = &MainOverlay();
    params.key = list;
    params.pickMode = true;
    if (ListHasOwnSheet(*params.overlay, list))
        return std::make_unique<Sheet>(std::move(params), scope, std::move(dispatcher));
    return std::make_unique<PickListSheet>(std::move(params), scope, std::move(dispatcher));
}

std::string EscapeDisplayText(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\' || c == '|') out += '\\';
        out += c;
    }
    return out;
}

}  // namespace parlo
