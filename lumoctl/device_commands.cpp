// lumoctl device ...: the reader on its serial port, straight through the link library (sending
// files is a job of the transfer worker, in transfer_commands.cpp). The port and speed come from
// the settings ("DataComm"/"ComPort", "DataComm"/"Baud") unless given.

#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "command_registry.h"
#include "library/SerialPortName.h"
#include "library/SettingsPaths.h"
#include "library/SettingsStore.h"
#include "lumolink/LumoConnect.h"

namespace lumoctl {
namespace {

constexpr auto kConnectWait = std::chrono::seconds(15);
constexpr uint32_t kProgressContext = 1;

[[noreturn]] void Fail(const std::string& what, EB_ERR_STATUS status) {
    throw CommandFailure{what + ": " + CLumoConnect::GetEbErrMsg(status), 1};
}

// The link to the reader for one command: connected on creation, disconnected at the end.
class DeviceSession : public CLumoConnect {
public:
    explicit DeviceSession(const GlobalOptions& options) {
        const CLXSettingsStore settings(options.settingsFile.empty() ? DefaultSettingsPath()
                                                                     : options.settingsFile);
        const std::string portName =
            options.port ? *options.port : settings.StringOr("DataComm", "ComPort");
        if (portName.empty()) {
            throw CommandFailure{"no serial port: give --port or set DataComm/ComPort", 1};
        }
        port_ = ResolveSerialPortName(portName, settings);
        uint32_t mask = BAUD_BITS_ALL;
        if (options.speedMask) {
            mask = static_cast<uint32_t>(*options.speedMask);
        } else if (uint32_t stored = 0; settings.ReadNumber("DataComm", "Baud", stored) && stored) {
            mask = stored;
        }
        if (options.logFile) {
            const EB_ERR_STATUS logged = EnableLogging(options.logFile->c_str());
            if (logged != EB_ERR_SUCCESS)
                Fail("cannot write the link log " + *options.logFile, logged);
        }
        const EB_ERR_STATUS opened = Connect(port_.c_str(), static_cast<BAUD_BITS_MASK>(mask));
        if (opened != EB_ERR_SUCCESS) Fail("cannot open " + port_, opened);
        std::unique_lock lock(mutex_);
        if (!changed_.wait_for(lock, kConnectWait, [&] { return connected_; })) {
            throw CommandFailure{"the reader did not answer on " + port_ + " within " +
                                     std::to_string(kConnectWait.count()) +
                                     " s: " + GetEbErrMsg(GetEbConnectState()),
                                 1};
        }
    }

    ~DeviceSession() override { Disconnect(); }

    EB_ERR_STATUS Transfer(const std::string& local, const std::string& remote,
                           PPP_CONN_XFER_DIR direction) {
        CLumoConnectTransfer transfer(local.c_str(), remote.c_str(), direction, 1,
                                      LUMO_FILE_TYPE_DEFAULT, kProgressContext);
        const EB_ERR_STATUS result = TransferFile(&transfer);
        if (showProgress_) std::fputc('\n', stderr);
        return result;
    }

protected:
    void OnConnect(EB_ERR_STATUS state) override {
        std::lock_guard lock(mutex_);
        connected_ = state == EB_ERR_STATUS_CONNECTED;
        changed_.notify_all();
    }

    void OnProgress(CLumoConnectTransfer* transfer) override {
        if (!showProgress_) return;
        const int percent = transfer->total > 0
                                ? static_cast<int>(int64_t{transfer->done} * 100 / transfer->total)
                                : 0;
        std::fprintf(stderr, "\r%s: %d of %d bytes (%d%%)", transfer->remoteName, transfer->done,
                     transfer->total, percent);
        std::fflush(stderr);
    }

private:
    std::string port_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool connected_ = false;
    const bool showProgress_ = isatty(STDERR_FILENO) != 0;
};

// Builds a command file with the given lines and sends it to the reader.
template <typename Build>
void SendCommands(const GlobalOptions& options, Build build) {
    DeviceSession session(options);
    CLumoCmd* cmds = session.GetCmds();
    cmds->ReOpen();
    build(*cmds);
    if (cmds->WriteFailed()) Fail("cannot write the command file", EB_ERR_CANT_ACCESS_LOCAL_FILE);
    const EB_ERR_STATUS sent = cmds->SendCmdFile();
    if (sent != EB_ERR_SUCCESS) Fail("sending the command file failed", sent);
}

char SingleCharacter(const std::string& text, const char* what) {
    if (text.size() != 1) throw CommandFailure{std::string(what) + " must be one character", 1};
    return text[0];
}

void ShowInfo(const GlobalOptions& options) {
    DeviceSession session(options);
    char identity[41] = {};
    const EB_ERR_STATUS got = session.GetVersionAndRemoteId(identity, 40);
    if (got != EB_ERR_SUCCESS) Fail("cannot read the reader's identity", got);
    const std::string text(identity);
    const size_t slash = text.find('/');
    std::cout << "version: " << text.substr(0, slash) << '\n'
              << "identifier: " << (slash == std::string::npos ? "" : text.substr(slash + 1))
              << '\n';
}

nlohmann::json FontJson(const CLumoFont& font) {
    return {{"family", font.GetFamily()},
            {"face", font.GetFace()},
            {"size", font.GetSize()},
            {"systemFont", std::string(1, font.GetSysFontFlag())}};
}

void ShowStatus(const GlobalOptions& options, bool json) {
    DeviceSession session(options);
    CLumoStatus* status = session.GetStatus();
    auto check = [](EB_ERR_STATUS result) {
        if (result != EB_ERR_SUCCESS) Fail("cannot read the reader's status", result);
    };
    tPI_STRING deviceId, version, externalVersion, language;
    long flashFree = 0, lastErr = 0, shutdown = 0, timeZone = 0, sync = 0;
    CLumoStatus::EB_DATE_FORMAT date;
    CLumoStatus::EB_TIME_FORMAT time;
    CLumoFont large, small;
    check(status->GetDeviceID(deviceId));
    check(status->GetFirmwareVersion(version));
    check(status->GetFirmwareExtVersion(externalVersion));
    check(status->GetLanguage(language));
    check(status->GetFlashFree(flashFree));
    check(status->GetLastErr(lastErr));
    check(status->GetShutdownTime(shutdown));
    check(status->GetTimeZone(timeZone));
    check(status->GetFilesysSync(sync));
    check(status->GetDateFormatA(date));
    check(status->GetTimeFormatA(time));
    check(status->GetLargeFont(large));
    check(status->GetSmallFont(small));

    const nlohmann::json values = {
        {"deviceId", deviceId.str()},
        {"firmwareVersion", version.str()},
        {"externalFirmwareVersion", externalVersion.str()},
        {"language", language.str()},
        {"flashFree", flashFree},
        {"lastError", lastErr},
        {"shutdownTime", shutdown},
        {"timeZone", timeZone},
        {"filesystemSync", sync},
        {"dateFormat", {{"style", date.format}, {"separator", std::string(1, date.separator)}}},
        {"timeFormat", {{"style", time.format}, {"separator", std::string(1, time.separator)}}},
        {"largeFont", FontJson(large)},
        {"smallFont", FontJson(small)}};
    if (json) {
        std::cout << values.dump(2) << '\n';
        return;
    }
    for (const auto& [key, value] : values.items()) {
        std::cout << key << ": " << (value.is_string() ? value.get<std::string>() : value.dump())
                  << '\n';
    }
}

void FetchFile(const GlobalOptions& options, const std::string& remote, const std::string& out) {
    DeviceSession session(options);
    const EB_ERR_STATUS got = session.Transfer(out, remote, PPP_CONN_XFER_DIR_RECEIVE);
    if (got != EB_ERR_SUCCESS) Fail("fetching " + remote + " failed", got);
}

struct ReaderClock {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

ReaderClock ParseDateTime(const std::vector<std::string>& words) {
    ReaderClock when;
    char rest = 0;
    const bool parsed = words.size() == 2 &&
                        std::sscanf(words[0].c_str(), "%4d-%2d-%2d%c", &when.year, &when.month,
                                    &when.day, &rest) == 3 &&
                        std::sscanf(words[1].c_str(), "%2d:%2d:%2d%c", &when.hour, &when.minute,
                                    &when.second, &rest) == 3;
    const bool valid = when.month >= 1 && when.month <= 12 && when.day >= 1 && when.day <= 31 &&
                       when.hour >= 0 && when.hour <= 23 && when.minute >= 0 && when.minute <= 59 &&
                       when.second >= 0 && when.second <= 59;
    if (!parsed || !valid) {
        throw CommandFailure{"give --now or a date and time as YYYY-MM-DD HH:MM:SS", 1};
    }
    return when;
}

ReaderClock LocalNow() {
    const std::time_t clock = std::time(nullptr);
    std::tm local{};
    localtime_r(&clock, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

void SetTime(const GlobalOptions& options, bool now, const std::vector<std::string>& words) {
    if (now && !words.empty()) throw CommandFailure{"--now takes no date and time", 1};
    const ReaderClock when = now ? LocalNow() : ParseDateTime(words);
    SendCommands(options, [&](CLumoCmd& cmds) {
        cmds.SetDate(when.day, when.month, when.year);
        cmds.SetTime(when.hour, when.minute, when.second);
    });
}

struct DeviceArguments {
    bool json = false;
    std::string remote;
    std::string out;
    bool now = false;
    std::vector<std::string> dateTime;
    int style = 0;
    std::string separator;
    std::string clock;
    int minutes = 0;
    int zone = 0;
    std::string family;
};

void addDeviceCommands(CLI::App& app, const GlobalOptions& options) {
    CLI::App& device = commandGroup(app, "device", "The reader on its serial port");
    auto args = std::make_shared<DeviceArguments>();

    device.add_subcommand("info", "Show the reader's firmware version and identifier")
        ->callback([&options] { ShowInfo(options); });

    CLI::App* status = device.add_subcommand("status", "Show every value of the reader's status");
    status->add_flag("--json", args->json, "Print the values as JSON");
    status->callback([&options, args] { ShowStatus(options, args->json); });

    CLI::App* fetch = device.add_subcommand("fetch", "Fetch a file from the reader");
    fetch->add_option("REMOTE", args->remote, "Name on the reader")->required();
    fetch->add_option("OUT", args->out, "Where to put it")->required();
    fetch->callback([&options, args] { FetchFile(options, args->remote, args->out); });

    CLI::App* setTime = device.add_subcommand("set-time", "Set the reader's date and time");
    setTime->add_flag("--now", args->now, "Use this computer's local date and time");
    setTime->add_option("DATE_TIME", args->dateTime, "YYYY-MM-DD HH:MM:SS");
    setTime->callback([&options, args] { SetTime(options, args->now, args->dateTime); });

    CLI::App* dateFormat = device.add_subcommand("set-date-format", "Set the date style");
    dateFormat->add_option("STYLE", args->style, "Date style number")->required();
    dateFormat->add_option("SEP", args->separator, "Separator character")->required();
    dateFormat->callback([&options, args] {
        const char separator = SingleCharacter(args->separator, "SEP");
        SendCommands(options, [&](CLumoCmd& cmds) {
            cmds.SetDateFmt(static_cast<CLumoStatus::EDATEFMT>(args->style), separator);
        });
    });

    CLI::App* timeFormat = device.add_subcommand("set-time-format", "Set the clock style");
    timeFormat->add_option("CLOCK", args->clock, "12 or 24")
        ->required()
        ->check(CLI::IsMember({"12", "24"}));
    timeFormat->add_option("SEP", args->separator, "Separator character")->required();
    timeFormat->callback([&options, args] {
        const char separator = SingleCharacter(args->separator, "SEP");
        const auto format =
            args->clock == "12" ? CLumoStatus::TIMEFMT_12_HOUR : CLumoStatus::TIMEFMT_24_HOUR;
        SendCommands(options, [&](CLumoCmd& cmds) { cmds.SetTimeFmt(format, separator); });
    });

    CLI::App* autoOff = device.add_subcommand("set-auto-off", "Set the automatic switch-off");
    autoOff->add_option("MINUTES", args->minutes, "Minutes of idleness")
        ->required()
        ->check(CLI::Range(0, 24 * 60));
    autoOff->callback([&options, args] {
        SendCommands(options, [&](CLumoCmd& cmds) { cmds.SetAutoTimeOut(args->minutes * 60); });
    });

    CLI::App* zone = device.add_subcommand("set-time-zone", "Set the reader's time zone");
    zone->add_option("N", args->zone, "Time zone number")->required();
    zone->callback([&options, args] {
        SendCommands(options, [&](CLumoCmd& cmds) { cmds.SetTimeZone(args->zone); });
    });

    CLI::App* font = device.add_subcommand("default-font", "Use the built-in fonts of a family");
    font->add_option("FAMILY", args->family, "large or small")
        ->required()
        ->check(CLI::IsMember({"large", "small"}));
    font->callback([&options, args] {
        const FamilySize size = args->family == "large" ? FAMILY_SIZE_LARGE : FAMILY_SIZE_SMALL;
        SendCommands(options, [&](CLumoCmd& cmds) { cmds.SetDefaultFont(size); });
    });
}

const CommandRegistration registration(addDeviceCommands);

}  // namespace
}  // namespace lumoctl
