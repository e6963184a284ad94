#include "clone/SaveErrors.h"

#include <cerrno>
#include <cstring>

#include "clone/CloneFile.h"
#include "clone/CloneMessages.h"
#include "overlay/OverlayText.h"
#include "platform/Prompts.h"

namespace parlo {

namespace {

// Lines of GI_Mess_SaveErr_Reason.
enum ReasonLine { kDenied, kDiskFull, kNoFolder, kReadOnly, kIsFolder, kTooLarge, kSystemSays };

struct SystemReason {
    int error;
    ReasonLine line;
};
constexpr SystemReason kSystemReasons[] = {
    {EACCES, kDenied},   {EPERM, kDenied},    {ENOSPC, kDiskFull},
    {EDQUOT, kDiskFull}, {ENOENT, kNoFolder}, {ENOTDIR, kNoFolder},
    {EROFS, kReadOnly},  {EISDIR, kIsFolder}, {EFBIG, kTooLarge},
};

std::string Text(const char* key, int line = 0) {
    return MainOverlay().TryGetText(key, line).value_or("");
}

}  // namespace

std::string SaveErrorReason(uint8_t code, int systemError) {
    for (const SystemReason& r : kSystemReasons) {
        if (r.error == systemError) return Text("GI_Mess_SaveErr_Reason", r.line);
    }
    if (systemError != 0)
        return FillIn(Text("GI_Mess_SaveErr_Reason", kSystemSays), {std::strerror(systemError)});
    return Text(FileErrorKey(code));
}

std::string SaveErrorText(const std::string& path, uint8_t code, int systemError) {
    return FillIn(Text("GI_Mess_SaveErr_Headline"), {path}) + "\n\n" +
           SaveErrorReason(code, systemError) + "\n" + Text("GI_Mess_SaveErr_Kept");
}

void ShowSaveError(const std::string& path, uint8_t code, int systemError) {
    if (code == kFileOk) return;
    prompts().Message(Text("GI_Sys_AppTitle"), SaveErrorText(path, code, systemError),
                      MsgIcon::Warning, MsgButtons::Ok);
}

}  // namespace parlo
