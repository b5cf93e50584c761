#include "library/LibraryLocation.h"

#include <filesystem>

#include "library/SettingsStore.h"

int LocateLibraryFile(const CLXSettingsStore& settings, std::string& libraryPath) {
    std::string directory, file;
    if (!settings.ReadString("Data Locations", "LibraryDir", directory)) return 61462;
    if (!settings.ReadString("Data Locations", "LibraryFile", file)) return 61463;
    std::error_code error;
    if (!std::filesystem::is_directory(directory, error)) return 61465;
    libraryPath = (std::filesystem::path(directory) / file).string();
    return 0;
}
