#include "library/EditionJob.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "library/FileUtil.h"
#include "library/ProfileReader.h"
#include "library/SettingsStore.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t kJobValueBuffer = 512;
constexpr std::uint64_t kMaxJobFile = 1 << 20;

bool isUrlByteToEscape(unsigned char byte) {
    return byte <= 0x20 || byte >= 0x7F || byte == '%' || byte == '#' || byte == '?';
}

bool isLocalPath(const std::string& source) {
    return (!source.empty() && (source[0] == '\\' || source[0] == '/')) ||
           (source.size() > 1 && source[1] == ':');
}

}  // namespace

std::uint32_t EditionJob::ConverterOptions() const {
    return options | (choices.images ? kEditionImages : 0) | (choices.links ? kEditionLinks : 0);
}

void ApplyEditionFlags(const std::string& flags, EditionJob& job) {
    size_t start = 0;
    while (start < flags.size()) {
        const size_t end = std::min(flags.find_first_of(" \t,", start), flags.size());
        const std::string word = lumo::ToLower(flags.substr(start, end - start));
        start = end + 1;
        if (word == "images" || word == "imagetext") {
            job.choices.images = true;
        } else if (word == "noimages") {
            job.choices.images = false;
            job.options &= ~kEditionNoImageText;
        } else if (word == "noimagetext") {
            job.choices.images = false;
            job.options |= kEditionNoImageText;
        } else if (word == "links" || word == "nolinks") {
            job.choices.links = word == "links";
        } else if (word == "confirm" || word == "noconfirm") {
            job.confirm = word == "confirm";
        } else if (word == "td") {
            job.options &= ~kEditionFlatTables;
        } else if (word == "notd") {
            job.options |= kEditionFlatTables;
        }
    }
}

EditionJob ParseEditionJob(const std::string& text) {
    const CLXProfileReader reader(text);
    auto value = [&reader](const char* key) {
        return reader.GetString("lumowriter", key, {}, kJobValueBuffer);
    };
    EditionJob job;
    job.choices.source = value("URL");
    job.choices.title = value("Title");
    job.choices.author = value("Author");
    job.choices.subExpression = value("SubEx");
    job.choices.levels = std::atoi(value("Levels").c_str());
    ApplyEditionFlags(value("Flags"), job);
    return job;
}

std::optional<EditionJob> ReadEditionJobFile(const std::string& path) {
    const std::optional<std::string> text = lumo::ReadWholeFile(path, kMaxJobFile);
    if (!text) return std::nullopt;
    return ParseEditionJob(*text);
}

std::string EditionSourceUrl(const std::string& source, const std::string& baseDirectory) {
    std::string path = source;
    if (!isLocalPath(source) && !source.empty() && source.find("://") == std::string::npos) {
        std::error_code error;
        const fs::path resolved = fs::path(baseDirectory) / source;
        if (fs::exists(resolved, error)) path = fs::absolute(resolved, error).lexically_normal();
    }
    if (!isLocalPath(path)) return path;

    std::string url = "file://";
    if (path[0] != '/' && path[0] != '\\') url += '/';
    for (char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            url += '/';
        } else if (isUrlByteToEscape(byte)) {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", byte);
            url += escaped;
        } else {
            url += c;
        }
    }
    return url;
}

std::string EditionProxyText(const CLXSettingsStore& settings) {
    std::uint32_t useProxy = 0;
    std::string host;
    if (!settings.ReadNumber("Registration", "UseProxy", useProxy) || useProxy == 0 ||
        !settings.ReadString("Registration", "ProxyHost", host) || host.empty())
        return {};
    std::string proxy = lumo::ToLower(host.substr(0, 7)) == "http://" ? host : "http://" + host;
    if (proxy.back() == '/') proxy.pop_back();
    std::uint32_t port = 0;
    if (settings.ReadNumber("Registration", "ProxyPort", port) && port > 0)
        proxy += ":" + std::to_string(port) + "/";
    return proxy;
}

std::string EditionOutputName(std::uint32_t counter) {
    char name[32];
    std::snprintf(name, sizeof name, "sp-%05u.lx", counter);
    return name;
}

bool EmptyWorkFolder(const std::string& folder) {
    bool emptied = true;
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const fs::file_status status = entry->symlink_status(error);
        if (fs::is_directory(status)) {
            emptied = EmptyWorkFolder(entry->path()) && emptied;
        } else if (fs::is_regular_file(status) || fs::is_symlink(status)) {
            std::error_code removeError;
            emptied = fs::remove(entry->path(), removeError) && emptied;
        }
    }
    return emptied && !error;
}
