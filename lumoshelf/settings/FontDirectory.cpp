#include "settings/FontDirectory.h"

#include <fontconfig/fontconfig.h>

#include <filesystem>
#include <memory>
#include <set>

#include "library/FileUtil.h"
#include "library/SettingsStore.h"

namespace fs = std::filesystem;

namespace {

bool IsTrueTypeFile(const fs::path& path) {
    std::error_code error;
    return lumo::LowerExtension(path.string()) == ".ttf" && fs::is_regular_file(path, error);
}

}  // namespace

std::vector<std::string> TrueTypeFilesIn(const std::string& folder) {
    std::set<std::string> files;
    std::error_code error;
    fs::recursive_directory_iterator walk(folder, fs::directory_options::skip_permission_denied,
                                          error);
    for (const fs::recursive_directory_iterator end; !error && walk != end; walk.increment(error)) {
        if (IsTrueTypeFile(walk->path())) files.insert(walk->path().string());
    }
    return {files.begin(), files.end()};
}

std::vector<std::string> SystemTrueTypeFiles() {
    std::set<std::string> files;
    std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)> pattern(FcPatternCreate(),
                                                                    FcPatternDestroy);
    std::unique_ptr<FcObjectSet, decltype(&FcObjectSetDestroy)> objects(
        FcObjectSetBuild(FC_FILE, nullptr), FcObjectSetDestroy);
    if (!pattern || !objects) return {};
    std::unique_ptr<FcFontSet, decltype(&FcFontSetDestroy)> fonts(
        FcFontList(nullptr, pattern.get(), objects.get()), FcFontSetDestroy);
    if (!fonts) return {};
    for (int i = 0; i < fonts->nfont; ++i) {
        FcChar8* file = nullptr;
        if (FcPatternGetString(fonts->fonts[i], FC_FILE, 0, &file) != FcResultMatch) continue;
        const fs::path path(reinterpret_cast<const char*>(file));
        if (IsTrueTypeFile(path)) files.insert(path.string());
    }
    return {files.begin(), files.end()};
}

std::vector<std::string> ListTrueTypeFiles(const CLXSettingsStore& settings) {
    std::string folder;
    if (settings.ReadString("Data Locations", "FontDir", folder)) return TrueTypeFilesIn(folder);
    return SystemTrueTypeFiles();
}
