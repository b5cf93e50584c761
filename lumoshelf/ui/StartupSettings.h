#pragma once

#include <string>

class CLXSettingsStore;

// Start-up rules that need no window: the defaults written at every start and the checks of the
// library location.

// Server and support page used until the user configures others.
inline constexpr const char* kDefaultServerHost = "updates.orvane.example";
inline constexpr const char* kDefaultSupportUrl = "http://support.orvane.example/lumoshelf";
inline constexpr const char* kKnownFirmwareVersion = "001.024-RM-024-R";

// Ensures the online and registration defaults and rewrites "SelfPublishingDir" below the library
// folder. Values the user changed by hand are kept.
void WriteStartupDefaults(CLXSettingsStore& settings);

struct LibraryLocation {
    unsigned error = 0;       // 0, or the string number of the message that stops the start
    std::string libraryPath;  // LibraryDir/LibraryFile when error is 0
};

// Reads "Data Locations"/"LibraryDir" and "LibraryFile" and checks that the folder exists.
LibraryLocation FindLibraryLocation(const CLXSettingsStore& settings);

// True when "DataComm"/"ComPort" names a port; otherwise the user is asked to choose one.
bool HasSerialPortSetting(const CLXSettingsStore& settings);

// The link log path from "LOGFILE"/"NAME", empty when logging stays off.
std::string LinkLogPath(const CLXSettingsStore& settings);

// The program's version as "major.minor.patch": the first three dot-separated parts of the
// build's version (empty when it has none).
std::string ProductVersion();
std::string ProductVersionFrom(const std::string& buildVersion);
