#pragma once
// A guard before a workbook's zip archive is unpacked: the reading library
// unpacks each part whole, to the size the archive states, so a small file
// could otherwise claim gigabytes (a "zip bomb"). Only the sizes the
// archive states are read here, from its central directory and the local
// header of each part; unpacking stays with the library.
#include <cstddef>
#include <string>
#include <string_view>

namespace parlo {

// Far more than a table of 320 channels unpacks to, far less than memory.
inline constexpr size_t kLargestUnpackedWorkbook = size_t{32} << 20;

// Empty when the parts of the archive unpack to at most `limit` bytes
// together (or the archive is none, for the library to refuse); else why not.
std::string ArchiveSizeProblem(std::string_view archive, size_t limit = kLargestUnpackedWorkbook);

}  // namespace parlo
