#pragma once

#include <string>

class CLXSettingsStore;

// Where the settings live: $LUMOSHELF_SETTINGS, else $XDG_CONFIG_HOME/lumoshelf/settings.ini
// ($HOME/.config when XDG_CONFIG_HOME is not set).
std::string DefaultSettingsPath();

// The per-user profile (window layout, per-reader choices): "profile.ini" beside the settings.
std::string ProfilePathFor(const std::string& settingsPath);

// The folder that holds the library on a fresh install: $XDG_DATA_HOME/lumoshelf.
std::string DefaultLibraryDir();

// On a fresh install (no settings file at all) writes LibraryDir, LibraryFile, BookDir and
// AutoAddDir under "Data Locations". Returns true when it wrote them.
bool WriteInstallDefaults(CLXSettingsStore& settings);
