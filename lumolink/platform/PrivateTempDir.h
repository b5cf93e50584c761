#pragma once

// lumolink's temporary files ("__CMDFILE", "__STATUS") live in one folder per process, made
// with mode 0700 under the system's temporary directory and removed at exit, so that other
// users can neither read them nor plant files or links under their fixed names.

#include <filesystem>
#include <string>

namespace lumolink {

// The folder, made on first use; empty when it cannot be made.
const std::filesystem::path& PrivateTempDir();

// Opens path for writing, created or truncated, mode 0600, refusing a symbolic link. -1 on
// failure.
int OpenForWritingNoFollow(const std::string& path);
// Opens path for reading, refusing a symbolic link. -1 on failure.
int OpenForReadingNoFollow(const std::string& path);

}  // namespace lumolink
