#pragma once
// Opening a file the user named as a document. Only a regular file is
// read: a FIFO would block the program until some writer came, a device
// could be woken or read for ever, so anything else is refused with the
// reason, before it is opened.
#include <cstdio>
#include <string>

#include "platform/SafeFile.h"

namespace parlo {

// What keeps `path` from being read as a document (nothing when it is a
// regular file this user may read). Opens nothing.
FileFailure DocumentFileProblem(const std::string& path);

// Opens `path` for reading in binary mode when it is a regular file;
// otherwise nullptr with `*why` set. Never blocks on what it refuses.
std::FILE* OpenDocumentFile(const std::string& path, FileFailure* why);

}  // namespace parlo
