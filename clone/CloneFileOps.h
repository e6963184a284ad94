#pragma once
// The three ways the application uses clone files: opening a document,
// saving it, and loading a variant's initial file into the default image.
#include <cstdint>
#include <string>

#include "clone/CloneFile.h"
#include "model/EepromImage.h"

namespace parlo {

// What an open found beside the image, for display.
struct CloneFileInfo {
    int32_t model = -1;
    int32_t extra = -1;
    int32_t mapRevision = -1;
    std::string comment;
};

// The image of a fresh document, which a file is opened against: the
// image's size and this model's map revision, which the content validation
// checks.
EepromImage FreshDocumentImage();

// Loads `path` as the Open command does: into a zero-filled scratch image of
// the working image's size, then the content validation, the newer-data test
// and the coverage of 0x0000..0x7D7F, stopping at the first failure. Only
// when it succeeds is `*loaded` assigned from the scratch image.
FileOutcome OpenCloneFile(const std::string& path, const EepromImage& working, EepromImage* loaded,
                          CloneFileInfo* info = nullptr);

// The comment a save writes: the two 16-byte texts at 0x95DD and 0x95ED,
// unprintable bytes as blanks, trailing blanks removed.
std::string CommentFromImage(const EepromImage& image);

// Writes 0x0000..0x7D7F of `image` with this model's header, map revision 6
// and the comment taken from the image. The image must already be packed.
FileOutcome SaveCloneFile(const std::string& path, EepromImage& image);
// The same in two steps, for a save whose contents come later (from the
// radio): OpenForSave prepares `out` for `path` and fails at once, as a
// failed save does, when the path cannot take the file; SaveCloneFile then
// writes into it.
FileOutcome OpenForSave(SafeFileWriter& out, const std::string& path);
FileOutcome SaveCloneFile(SafeFileWriter& opened, const std::string& path, EepromImage& image);

// Reads a variant's initial file into `image` with the range 0x0000..0x7D7F.
FileOutcome ReadInitialFile(const std::string& path, EepromImage& image);

// The program error of an initial file that cannot be read: "Cannot open
// 'PATH'." and, on the lines after it, the reason and why. Empty when it
// can be read.
std::string InitialFileProblem(const std::string& path, EepromImage& image);

}  // namespace parlo
