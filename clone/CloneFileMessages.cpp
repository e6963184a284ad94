// The messages of clone files that could not be used or saved. Each names
// the file and, where the system said why, gives the reason in plain words.
// The application shows them.
#include "clone/CloneFile.h"
#include "overlay/OverlayText.h"

namespace parlo {

namespace {

constexpr const char* kFileErrorKeys[] = {
    "",
    "GI_Mess_FileErr_FileOpen",
    "GI_Mess_FileErr_FileAccess",
    "GI_Mess_FileErr_Model",
    "GI_Mess_FileErr_Extra",
    "GI_Mess_FileErr_MapRev",
    "GI_Mess_FileErr_Format",
    "GI_Mess_FileErr_Coverage",
    "GI_Mess_FileErr_Data",
    "GI_Mess_FileErr_Newer",
};

// Lines of GI_Mess_FileErr_Why.
enum WhyLine {
    kIsFolder = 0,
    kLinkLoop = 1,
    kNoFolder = 2,
    kNotFound = 3,
    kDenied = 4,
    kDiskFull = 5,
    kTooLarge = 6,
    kReaderGone = 7,
    kOther = 8,
    kEarlierFileKept = 9,
    kWriteProtected = 10,
    kLinkNotFollowed = 11,
    kEarlierCopy = 12,
    kNotRegular = 13,
};

struct ProblemLine {
    FileProblem problem;
    WhyLine line;
};
constexpr ProblemLine kProblemLines[] = {
    {FileProblem::IsFolder, kIsFolder},
    {FileProblem::LinkLoop, kLinkLoop},
    {FileProblem::NoFolder, kNoFolder},
    {FileProblem::NotFound, kNotFound},
    {FileProblem::Denied, kDenied},
    {FileProblem::DiskFull, kDiskFull},
    {FileProblem::TooLarge, kTooLarge},
    {FileProblem::ReaderGone, kReaderGone},
    {FileProblem::Other, kOther},
    {FileProblem::WriteProtected, kWriteProtected},
    {FileProblem::LinkNotFollowed, kLinkNotFollowed},
    {FileProblem::NotRegular, kNotRegular},
};

std::string Text(const std::string& key, int line = 0) {
    return MainOverlay().TryGetText(key, line).value_or("");
}

// Replaces the first "%s" of a text by `value`.
std::string Fill(const std::string& text, const std::string& value) {
    const size_t at = text.find("%s");
    return at == std::string::npos ? text : text.substr(0, at) + value + text.substr(at + 2);
}

std::string Message(const std::string& headline, const std::string& reason,
                    const FileFailure& why) {
    std::string text = headline + "\n\n" + reason;
    if (const std::string line = FileFailureText(why); !line.empty()) text += "\n" + line;
    return text;
}

}  // namespace

std::string FileFailureText(const FileFailure& why) {
    for (const ProblemLine& p : kProblemLines) {
        if (p.problem == why.problem) return Fill(Text("GI_Mess_FileErr_Why", p.line), why.detail);
    }
    return {};
}

const char* FileErrorKey(int code) { return (code >= 1 && code <= 9) ? kFileErrorKeys[code] : ""; }

std::string FileErrorText(int code, const std::string& path, const FileFailure& why) {
    if (code < 1 || code > 9) return {};
    return Message(Fill(Text("GI_Mess_FileErr_Headline"), path), Text(FileErrorKey(code)), why);
}

std::string SaveFailureText(const SafeFileWriter& out, bool begun) {
    std::string text = FileFailureText(out.Failure());
    if (!begun) return text;
    const auto add = [&text](const std::string& line) {
        text += (text.empty() ? "" : "\n") + line;
    };
    if (out.EarlierKept()) add(Text("GI_Mess_FileErr_Why", kEarlierFileKept));
    if (!out.EarlierCopy().empty())
        add(Fill(Text("GI_Mess_FileErr_Why", kEarlierCopy), out.EarlierCopy()));
    return text;
}

std::string SaveErrorText(int code, const std::string& path, const SafeFileWriter& out) {
    const std::string reason =
        Text(code == 1 ? "GI_Mess_FileErr_SaveOpen" : "GI_Mess_FileErr_FileAccess");
    std::string text = Fill(Text("GI_Mess_FileErr_SaveHeadline"), path) + "\n\n" + reason;
    // Nothing was begun when the file could not be opened.
    if (const std::string why = SaveFailureText(out, code == kFileErrAccess); !why.empty())
        text += "\n" + why;
    return text;
}

}  // namespace parlo
