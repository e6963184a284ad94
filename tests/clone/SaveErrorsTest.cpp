// The reason a failed save gives, from the system's error number, else
// from the file error code; read from the shipped overlay.
#include <gtest/gtest.h>

#include <cerrno>

#include "clone/CloneFile.h"
#include "clone/SaveErrors.h"

namespace parlo {
namespace {

TEST(SaveErrors, ReasonsFollowTheSystemsErrorThenTheFileErrorCode) {
    const struct {
        uint8_t code;
        int error;
        const char* reason;
    } cases[] = {
        {kFileErrOpen, EACCES,
         "You are not allowed to write in that folder, or to replace that file."},
        {kFileErrOpen, EPERM,
         "You are not allowed to write in that folder, or to replace that file."},
        {kFileErrAccess, ENOSPC, "The disk is full."},
        {kFileErrOpen, ENOENT, "The folder does not exist."},
        {kFileErrOpen, EROFS, "The disk or folder is read-only."},
        {kFileErrAccess, EISDIR, "That name belongs to a folder."},
        {kFileErrAccess, EFBIG, "The file is larger than this process may write."},
        {kFileErrAccess, EIO, "The system reported: Input/output error."},
        {kFileErrAccess, 0,
         "Writing the file failed, for example because the disk is full. Any "
         "earlier file of that name has been kept unchanged."},
    };
    for (const auto& c : cases) EXPECT_EQ(SaveErrorReason(c.code, c.error), c.reason) << c.error;
}

}  // namespace
}  // namespace parlo
