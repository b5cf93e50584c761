#pragma once

#include <string>
#include <vector>

class CLXSettingsStore;

// The TrueType files the reader fonts page offers: those in the folder named by the setting
// "Data Locations"/"FontDir" and its subfolders, or, when the setting is missing, every TrueType
// file the system's font configuration knows. Sorted, each path once.
std::vector<std::string> ListTrueTypeFiles(const CLXSettingsStore& settings);

// The TrueType files below folder. Symbolic links to folders are not walked into, and only
// names that end in ".ttf" (any letter case) and lead to a regular file are listed, so that no
// device or pipe is ever opened as a font.
std::vector<std::string> TrueTypeFilesIn(const std::string& folder);

// The TrueType files that fontconfig lists.
std::vector<std::string> SystemTrueTypeFiles();
