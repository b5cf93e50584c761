#include "library/SettingsPaths.h"

#include <cstdlib>
#include <filesystem>

#include "library/SettingsStore.h"

namespace fs = std::filesystem;

namespace {

fs::path xdgFolder(const char* variable, const char* homeRelative) {
    const char* value = std::getenv(variable);
    if (value && *value) return value;
    const char* home = std::getenv("HOME");
    return fs::path(home && *home ? home : ".") / homeRelative;
}

}  // namespace

std::string DefaultSettingsPath() {
    const char* explicitPath = std::getenv("LUMOSHELF_SETTINGS");
    if (explicitPath && *explicitPath) return explicitPath;
    return (xdgFolder("XDG_CONFIG_HOME", ".config") / "lumoshelf" / "settings.ini").string();
}

std::string ProfilePathFor(const std::string& settingsPath) {
    return (fs::path(settingsPath).parent_path() / "profile.ini").string();
}

std::string DefaultLibraryDir() {
    return (xdgFolder("XDG_DATA_HOME", ".local/share") / "lumoshelf").string();
}

bool WriteInstallDefaults(CLXSettingsStore& settings) {
    std::error_code error;
    if (fs::exists(settings.Path(), error)) return false;
    const std::string libraryDir = DefaultLibraryDir();
    const std::string section = "Data Locations";
    bool written = settings.WriteString(libraryDir, section, "LibraryDir") &&
                   settings.WriteString("library.lxl", section, "LibraryFile") &&
                   settings.WriteString(libraryDir + "/Books", section, "BookDir") &&
                   settings.WriteString(libraryDir + "/AutoAdd", section, "AutoAddDir");
    if (written) {
        fs::create_directories(libraryDir + "/Books", error);
        fs::create_directories(libraryDir + "/AutoAdd", error);
    }
    return written;
}
