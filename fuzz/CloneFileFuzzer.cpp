// The clone file reader and its checks, with the input as the file: opened
// as File > Open does and read as the initial file is. Whatever the file
// holds, a failure leaves the images as they were, and a file that opens
// saves and opens again to the same image.
#include <cstdint>
#include <string>

#include "clone/CloneFile.h"
#include "clone/CloneFileOps.h"
#include "clone/ContentValidation.h"
#include "fuzz/FuzzSupport.h"

using namespace parlo;

namespace {

EepromImage Marked() {
    EepromImage image;
    image.SetSize(kImageSize);
    image.Fill(0x5A);
    return image;
}

void OpenAsTheOpenCommandDoes(const std::string& path) {
    const EepromImage working = FreshDocumentImage();
    EepromImage loaded = Marked();
    const EepromImage untouched = loaded;
    CloneFileInfo info;
    const uint8_t code = OpenCloneFile(path, working, &loaded, &info).code;
    if (code > kFileErrNewer) fuzz::Finding("file error code " + std::to_string(code));
    if (code != kFileOk) {
        if (!loaded.Equals(untouched)) fuzz::Finding("a refused file changed the image");
        return;
    }
    if (!ValidateContent(loaded, working, false)) fuzz::Finding("an invalid image was opened");
    // What opens saves, and the saved file opens to the same image.
    const std::string again = fuzz::ScratchFile(".saved.icf");
    if (SaveCloneFile(again, loaded).code != kFileOk) fuzz::Finding("an opened image did not save");
    EepromImage reopened = Marked();
    if (OpenCloneFile(again, working, &reopened).code != kFileOk)
        fuzz::Finding("a saved image did not open again");
    for (int32_t a = 0; a <= kRadioAreaEnd; ++a) {
        if (reopened.GetByte(a) != loaded.GetByte(a))
            fuzz::Finding("byte " + std::to_string(a) + " changed on the way round");
    }
}

void ReadAsTheInitialFile(const std::string& path) {
    EepromImage image = Marked();
    const EepromImage before = image;
    const uint8_t code = ReadInitialFile(path, image).code;
    if (code != kFileOk && !image.Equals(before)) fuzz::Finding("a failed read changed the image");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::SetUpOnce();
    const std::string path = fuzz::ScratchFile(".icf");
    fuzz::WriteScratch(path, data, size);
    try {
        OpenAsTheOpenCommandDoes(path);
        ReadAsTheInitialFile(path);
    } catch (const fuzz::FatalError& e) {
        fuzz::Finding(std::string("a clone file caused the program error: ") + e.what());
    }
    return 0;
}
