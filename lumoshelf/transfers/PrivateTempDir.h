#pragma once

#include <cstdint>
#include <filesystem>
#include <istream>
#include <string>

namespace lumo {

// The process's own temporary folder: made on first use under the system temporary directory
// with mode 0700 and removed with everything in it when the program ends. Files exchanged with
// the reader are staged here under their fixed names, where other users cannot plant or read
// them. Throws std::filesystem::filesystem_error when the folder cannot be made.
const std::filesystem::path& PrivateTempDir();

// Creates or truncates a file for writing with mode 0600, never through a symbolic link.
// Returns the descriptor, or -1.
int CreatePrivateFile(const std::filesystem::path& path);

// Writes the next count bytes of in to a new private file at path, in chunks. A short read or a
// failed write removes the file. Returns 0, or 7 ("cannot access the local file").
int WritePrivateFileFrom(std::istream& in, std::uint64_t count, const std::filesystem::path& path);

}  // namespace lumo
