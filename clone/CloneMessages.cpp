#include "clone/CloneMessages.h"

#include <algorithm>

#include "clone/CloneDriver.h"
#include "overlay/OverlayText.h"
#include "platform/Fatal.h"

namespace parlo {

namespace {

// Which lines of GI_Mess_CloneErr_Check each status lists.
struct CheckLines {
    uint8_t status;
    std::initializer_list<int> lines;
};
const CheckLines kCheckLines[] = {
    {2, {0, 1, 2, 3}},
    {10, {0, 2, 3}},
    {11, {0, 1, 2, 3, 4, 5}},
    {12, {0, 1, 2, 3, 4, 5}},
    {13, {6, 7}},
    {14, {0, 4, 5}},
    {16, {}},
    {18, {0, 1, 6}},
    {19, {0, 8}},
};
constexpr std::initializer_list<int> kDefaultCheckLines = {0, 1, 2, 3};

// Lines of GI_Mess_CloneErr_Port.
enum PortLine {
    kNotFound = 0,
    kPresent = 1,
    kNonePresent = 2,
    kDenied = 3,
    kBusy = 4,
    kNotSerial = 5,
    kOther = 6
};

}  // namespace

std::string PortName(int32_t number, const std::string& device) {
    if (number <= 0) return device;
    return std::to_string(number) + " (" + device + ")";
}

std::string FillIn(const std::string& format, std::initializer_list<std::string> values) {
    std::string out;
    auto value = values.begin();
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 's') {
            if (value != values.end()) out += *value++;
            ++i;
        } else {
            out += format[i];
        }
    }
    return out;
}

std::string PortFailureText(const SerialOpenFailure& why,
                            const std::vector<SerialPortInfo>& present) {
    const auto line = [](int i) { return OvlText("GI_Mess_CloneErr_Port", i); };
    switch (why.reason) {
        case SerialOpenFailure::Reason::None: return {};
        case SerialOpenFailure::Reason::NotFound: {
            std::string list;
            for (const SerialPortInfo& p : present) list += (list.empty() ? "" : ", ") + p.path;
            return FillIn(line(kNotFound), {why.device}) + "\n" +
                   (list.empty() ? line(kNonePresent) : FillIn(line(kPresent), {list}));
        }
        case SerialOpenFailure::Reason::PermissionDenied:
            return FillIn(line(kDenied), {why.device, why.group.empty() ? "?" : why.group});
        case SerialOpenFailure::Reason::Busy: return FillIn(line(kBusy), {why.device});
        case SerialOpenFailure::Reason::NotSerial: return FillIn(line(kNotSerial), {why.device});
        case SerialOpenFailure::Reason::Other:
            return FillIn(line(kOther), {why.device, why.detail});
    }
    return {};
}

namespace {

// The head line as given, the lines that follow it, then the checks.
std::string ErrorText(uint8_t status, std::string text, const std::string& detail) {
    if (!detail.empty()) text += "\n" + detail;
    std::initializer_list<int> checks = kDefaultCheckLines;
    for (const CheckLines& c : kCheckLines) {
        if (c.status == status) checks = c.lines;
    }
    std::string lines;
    for (int i : checks)
        lines += (lines.empty() ? "" : "\n") + OvlText("GI_Mess_CloneErr_Check", i);
    return lines.empty() ? text : text + "\n\n" + lines;
}

std::string Address(int32_t address) { return Format("%04X", static_cast<unsigned>(address)); }

}  // namespace

std::string CloneErrorText(uint8_t status, const std::string& portName,
                           const std::string& portReason, const std::string& detail) {
    std::string text = OvlText("GI_Mess_CloneErr_Head", status);
    if (status == kClonePortOpen) {
        text = FillIn(text, {portName});
        if (!portReason.empty()) text += "\n" + portReason;
    }
    return ErrorText(status, text, detail);
}

std::string MemoryEndHead(int32_t needed, int32_t radioEnd) {
    return FillIn(OvlText("GI_Mess_CloneErr_Head", kCloneMemoryEnd),
                  {Address(needed), Address(radioEnd)});
}

std::string MemoryEndText(int32_t needed, int32_t radioEnd) {
    return ErrorText(kCloneMemoryEnd, MemoryEndHead(needed, radioEnd), {});
}

std::string NoProgressText(int32_t ms) {
    const int32_t seconds = std::max<int32_t>(1, (ms + 500) / 1000);
    return FillIn(OvlText("GI_Mess_CloneErr_NoProgress"), {std::to_string(seconds)});
}

std::string StoppedWriteText(int32_t address) {
    return FillIn(OvlText("GI_Mess_CloneWrite_Stopped"), {Address(address)});
}

}  // namespace parlo
