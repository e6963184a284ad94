#include "gui/PrintReport.h"

#include "overlay/OverlayFormat.h"
#include "overlay/OverlayText.h"

namespace parlo::qt {

namespace {

// Lines of GI_Status_Printed.
enum PrintedLine { kOnePage = 0, kPages = 1, kCancelled = 2, kNothing = 3 };
// Lines of GI_Status_PrintTo.
enum PrintToLine { kToFile = 0, kToPrinter = 1, kEveryPage = 2 };

}  // namespace

std::string PrintReport::Text(int pages, bool cancelled) const {
    const std::string what = sheet.empty() ? OvlText("GI_Status_PrintTo", kEveryPage) : sheet;
    const std::string where = file.empty()
                                  ? FormatText(OvlText("GI_Status_PrintTo", kToPrinter), {printer})
                                  : FormatText(OvlText("GI_Status_PrintTo", kToFile), {file});
    const auto count = static_cast<long long>(pages);
    if (cancelled)
        return FormatText(OvlText("GI_Status_Printed", kCancelled), {what, count, where});
    if (pages == 0) return FormatText(OvlText("GI_Status_Printed", kNothing), {what});
    if (pages == 1) return FormatText(OvlText("GI_Status_Printed", kOnePage), {what, where});
    return FormatText(OvlText("GI_Status_Printed", kPages), {what, count, where});
}

}  // namespace parlo::qt
