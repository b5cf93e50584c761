#include "ui/StartupSettings.h"

#include <algorithm>
#include <cstdint>

#include "library/LibraryLocation.h"
#include "library/SettingsStore.h"
#include "lumo_version.h"

namespace {

const std::string kRegistration = "Registration";
const std::string kDataLocations = "Data Locations";

void ensureCurrentServer(CLXSettingsStore& settings) {
    std::string host, script;
    std::uint32_t port = 0;
    if (settings.ReadString(kRegistration, "Host", host))
        settings.EnsureString(kRegistration, "CurrentHost", host);
    if (settings.ReadNumber(kRegistration, "Port", port))
        settings.EnsureNumber(kRegistration, "CurrentPort", port);
    if (settings.ReadString(kRegistration, "Script", script))
        settings.EnsureString(kRegistration, "CurrentScript", script);
}

}  // namespace

void WriteStartupDefaults(CLXSettingsStore& settings) {
    settings.EnsureString("Online", "SupportUrl", kDefaultSupportUrl);
    settings.EnsureString(kRegistration, "KnownFirmwareVersion", kKnownFirmwareVersion);
    settings.EnsureString(kRegistration, "Host", kDefaultServerHost);
    settings.EnsureNumber(kRegistration, "Port", 80);
    settings.EnsureString(kRegistration, "Script", "/lx_orva.cgi");
    ensureCurrentServer(settings);
    settings.EnsureNumber(kRegistration, "UseProxy", 0);
    std::string libraryDir;
    if (settings.ReadString(kDataLocations, "LibraryDir", libraryDir))
        settings.WriteString(libraryDir + "/SelfPublishing", kDataLocations, "SelfPublishingDir");
    settings.EnsureNumber("SelfPublishing", "Counter", 0);
}

LibraryLocation FindLibraryLocation(const CLXSettingsStore& settings) {
    LibraryLocation location;
    location.error = unsigned(LocateLibraryFile(settings, location.libraryPath));
    return location;
}

bool HasSerialPortSetting(const CLXSettingsStore& settings) {
    return !settings.StringOr("DataComm", "ComPort").empty();
}

std::string LinkLogPath(const CLXSettingsStore& settings) {
    return settings.StringOr("LOGFILE", "NAME");
}

std::string ProductVersionFrom(const std::string& buildVersion) {
    size_t end = 0;
    for (int dots = 0; dots < 3 && end != std::string::npos; ++dots)
        end = buildVersion.find('.', dots == 0 ? 0 : end + 1);
    const std::string version = buildVersion.substr(0, end);
    // Fewer than three parts: no product version.
    return std::count(version.begin(), version.end(), '.') == 2 ? version : std::string();
}

std::string ProductVersion() { return ProductVersionFrom(LUMO_PRODUCT_VERSION); }
