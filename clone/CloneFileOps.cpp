#include "clone/CloneFileOps.h"

#include "clone/ContentValidation.h"
#include "overlay/OverlayText.h"

namespace parlo {

namespace {

void PrepareForRead(CloneFile& file, EepromImage& image) {
    file.Attach(image);
    file.SetModelCode(kModelCode);
    file.SetExtraCode(kExtraCode);
    file.SetHeaderCheck(AcceptFileHeader);
    file.SetMapRevisionCheck(AcceptMapRevision);
}

std::string PrintableField(const EepromImage& image, int32_t at) {
    std::string s;
    for (int32_t i = 0; i < 16; ++i) {
        const uint8_t b = image.IsValidAddress(at + i) ? image.GetByte(at + i) : ' ';
        s.push_back(b >= 0x20 && b <= 0x7E ? static_cast<char>(b) : ' ');
    }
    return s;
}

void TrimTrailingBlanks(std::string& s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
}

}  // namespace

EepromImage FreshDocumentImage() {
    EepromImage working;
    working.SetSize(kImageSize);
    working.SetByte(kAddrMapRevision, kMapRevision);
    return working;
}

FileOutcome OpenCloneFile(const std::string& path, const EepromImage& working, EepromImage* loaded,
                          CloneFileInfo* info) {
    EepromImage scratch;
    scratch.Assign(working);
    scratch.Fill(0x00);
    CloneFile file;
    PrepareForRead(file, scratch);
    const FileOutcome read = file.Read(path, nullptr);
    if (info != nullptr) {
        info->model = file.HeaderModel();
        info->extra = file.HeaderExtra();
        info->mapRevision = file.MapRevision();
        info->comment = file.FileComment();
    }
    if (!read.Ok()) return read;
    const RangeList fileRange = SingleRange(0x0000, kRadioAreaEnd);
    uint8_t code = kFileOk;
    if (!ValidateContent(scratch, working, false)) {
        code = kFileErrData;
    } else if (IsNewerData(scratch)) {
        code = kFileErrNewer;
    } else {
        code = file.CheckCoverage(&fileRange);
    }
    if (code != kFileOk) return {code, FileErrorText(code, path)};
    loaded->Assign(scratch);
    return {};
}

std::string CommentFromImage(const EepromImage& image) {
    std::string comment = PrintableField(image, 0x95DD);
    TrimTrailingBlanks(comment);
    comment += PrintableField(image, 0x95ED);
    TrimTrailingBlanks(comment);
    return comment;
}

namespace {

void PrepareForSave(CloneFile& file, EepromImage& image) {
    file.Attach(image);
    file.SetModelCode(kModelCode);
    file.SetExtraCode(kExtraCode);
    file.SetMapRevision(kMapRevision);
    file.SetComment(CommentFromImage(image));
}

}  // namespace

FileOutcome SaveCloneFile(const std::string& path, EepromImage& image) {
    CloneFile file;
    PrepareForSave(file, image);
    return file.Write(path, SingleRange(0x0000, kRadioAreaEnd));
}

std::string InitialFileProblem(const std::string& path, EepromImage& image) {
    CloneFile file;
    PrepareForRead(file, image);
    const RangeList fileRange = SingleRange(0x0000, kRadioAreaEnd);
    const uint8_t code = file.Read(path, &fileRange).code;
    if (code == kFileOk) return {};
    std::string text = "Cannot open '" + path + "'.";
    if (const auto reason = MainOverlay().TryGetText(FileErrorKey(code))) text += "\n" + *reason;
    if (const std::string why = FileFailureText(file.Failure()); !why.empty()) text += "\n" + why;
    return text;
}

FileOutcome OpenForSave(SafeFileWriter& out, const std::string& path) {
    if (out.Open(path)) return {};
    return {kFileErrOpen, SaveErrorText(kFileErrOpen, path, out)};
}

FileOutcome SaveCloneFile(SafeFileWriter& opened, const std::string& path, EepromImage& image) {
    CloneFile file;
    PrepareForSave(file, image);
    return file.Write(opened, path, SingleRange(0x0000, kRadioAreaEnd));
}

FileOutcome ReadInitialFile(const std::string& path, EepromImage& image) {
    CloneFile file;
    PrepareForRead(file, image);
    const RangeList fileRange = SingleRange(0x0000, kRadioAreaEnd);
    return file.Read(path, &fileRange);
}

}  // namespace parlo
