#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lumo {

// Writes bytes to a temporary file in the target's folder, flushes it to disk and renames it
// over the target, so that readers see either the old file or the whole new one.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);

// Flushes everything written to the file system that holds path.
bool SyncFileSystemOf(const std::string& path);

// Reads a regular file whole; nothing when it cannot be opened or is larger than maxBytes.
std::optional<std::string> ReadWholeFile(const std::string& path,
                                         std::uint64_t maxBytes = UINT64_C(1) << 32);

// True when a and b name the same file: equivalent when both exist, otherwise equal as
// lexically normal absolute paths (letter case counts).
bool SamePath(const std::string& a, const std::string& b);

// True when path is a regular file (not followed through a symbolic link).
bool IsRegularFileNoFollow(const std::string& path);

// The extension from the last dot of the file name, in lower case ("" when there is none).
std::string LowerExtension(const std::string& path);

// The file name without directory and extension; both '/' and '\\' count as separators.
std::string BareFileName(const std::string& path);

// The last name part of a path that may come from Windows-made data.
std::string LastNamePart(const std::string& path);

std::string ToLower(std::string_view text);
std::string ToLower(std::string&& text);
bool EqualsNoCase(std::string_view a, std::string_view b);
// True when needle occurs in haystack, ASCII letter case ignored.
bool ContainsNoCase(std::string_view haystack, std::string_view needle);

}  // namespace lumo
