#pragma once

#include <string>

class CLXSettingsStore;

// The library file's path from the settings: LibraryDir joined with LibraryFile. Returns 0, or
// the string number of what is wrong: 61462 (no LibraryDir), 61463 (no LibraryFile), 61465
// (LibraryDir is not a directory).
int LocateLibraryFile(const CLXSettingsStore& settings, std::string& libraryPath);
