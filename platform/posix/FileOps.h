#pragma once
// The file operations a safe save is made of, on descriptors. Each returns
// 0 or the system's error number.
#include <sys/types.h>

#include <cstddef>
#include <string>

namespace parlo::fileops {

// Writes everything to a stream, waiting where the descriptor would block.
int WriteAll(int fd, const char* data, size_t length);
// Writes everything at `offset` of a regular file.
int WriteAllAt(int fd, const char* data, size_t length, off_t offset);
// Copies the first `length` bytes of `from` to the start of `to`.
int CopyContents(int from, int to, off_t length);
// Gives `to` the extended attributes of `from` (access lists among them).
int CopyExtendedAttributes(int from, int to);

// A new file in `folder` (an O_PATH descriptor) that gets its name only
// once it is complete, so that a process killed before leaves nothing:
// a file without a name where the file system has them, else one named
// `stem` and a random suffix, in *named. `access` is O_WRONLY or O_RDWR.
// Sets *fd.
int CreateUnnamed(int folder, const std::string& stem, int access, unsigned mode, int* fd,
                  std::string* named);
// Names a file made without a name: `name` itself when `exact` (EEXIST
// when taken), else `name` and a random suffix, in *given.
int NameUnnamed(int fd, int folder, const std::string& name, bool exact, std::string* given);

// Removes what a process killed between naming a new file and moving it
// into place left: files named `stem`, a dot and a random suffix, of this
// user, with no other link, last written `minAge` seconds ago or earlier
// (a save under way is younger by far).
void RemoveLeftovers(int folder, const std::string& stem, int minAge);

// Makes the folder's entries durable; errors are of no use to the caller.
void SyncFolder(int folder);
// The folder's path for a message ("" when unknown).
std::string FolderPath(int folder);

}  // namespace parlo::fileops
