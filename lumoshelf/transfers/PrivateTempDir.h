#pragma once

#include <filesystem>
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

}  // namespace lumo
