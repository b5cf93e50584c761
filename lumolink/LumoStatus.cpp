#include "lumolink/LumoStatus.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "lumolink/PPPConn.h"
#include "lumolink/platform/PrivateTempDir.h"

namespace {

constexpr const char* kStatusFileName = "__STATUS";
constexpr size_t kStatusPathSize = 520;
constexpr int kLineSize = 200;  // 199 characters and the terminator
constexpr const char* kCuts = "=\"\r\n";
constexpr int kMaxValues = 5;

enum class Keyword {
    DeviceId,
    FlashFree,
    LastErr,
    SetAuto,
    SetDateForm,
    SetLarge,
    SetSmall,
    SetTimeForm,
    SetTZone,
    Sync,
    Version,
    ExternalVersion,
    Language,
};

struct KeywordEntry {
    const char* name;
    int minValues;
    int maxValues;
    Keyword keyword;
};

constexpr KeywordEntry kKeywords[] = {
    {"DEVICEID", 1, 1, Keyword::DeviceId},
    {"FLASHFREE", 1, 1, Keyword::FlashFree},
    {"LASTERR", 1, 1, Keyword::LastErr},
    {"SETAUTO", 1, 1, Keyword::SetAuto},
    {"SETDATEFORM", 3, 3, Keyword::SetDateForm},
    {"SETLARGE", 3, 5, Keyword::SetLarge},
    {"SETSMALL", 3, 5, Keyword::SetSmall},
    {"SETTIMEFORM", 3, 3, Keyword::SetTimeForm},
    {"SETTZONE", 1, 1, Keyword::SetTZone},
    {"SYNC", 1, 1, Keyword::Sync},
    {"VERSION", 1, 1, Keyword::Version},
    {"EXTERNAL_VERSION", 1, 1, Keyword::ExternalVersion},
    {"LANGUAGE", 1, 1, Keyword::Language},
};

std::string StatusFilePath() {
    const std::filesystem::path& folder = lumolink::PrivateTempDir();
    if (!folder.empty()) {
        std::string full = (folder / kStatusFileName).string();
        if (full.size() < kStatusPathSize) return full;
    }
    return kStatusFileName;
}

}  // namespace

CLumoStatus::CLumoStatus(CPPPConn* engine) : m_engine(engine) { InitVars(); }

void CLumoStatus::InitVars() {
    m_deviceId = "";
    m_firmwareVersion = "";
    m_firmwareExtVersion = "";
    m_language = "";
    m_flashFree = 0;
    m_lastErr = 0;
    m_shutdownTime = 0;
    m_dateFormat = {};
    m_timeFormat = {};
    m_timeZone = 0;
    m_filesysSync = 0;
}

void CLumoStatus::FlushStatusCache() {
    m_cacheValid = 0;
    InitVars();
}

EB_ERR_STATUS CLumoStatus::LoadConfig(bool force) {
    if (m_cacheValid && !force) return EB_ERR_SUCCESS;
    if (m_engine == nullptr) return EB_ERR_NO_PPPCONN_HANDLE;
    if (m_engine->GetConnState() != PPP_CONN_ERR_CONNECTED) return EB_ERR_STATUS_CONNECTED_BUSY;

    const std::string local = StatusFilePath();
    CPPPTransfer transfer(local.c_str(), kStatusFileName, PPP_CONN_XFER_DIR_RECEIVE, 1,
                          LUMO_FILE_TYPE_DEFAULT, 0);
    if (m_engine->TransferFile(&transfer) != PPP_CONN_ERR_SUCCESS) {
        return EB_ERR_LX_STATUS_FILE_RETRIEVE_FAILED;
    }
    const int fd = lumolink::OpenForReadingNoFollow(local);
    std::FILE* file = fd >= 0 ? fdopen(fd, "r") : nullptr;
    if (file == nullptr) {
        if (fd >= 0) close(fd);
        return EB_ERR_LOAD_FAILED;
    }
    char line[kLineSize];
    while (std::fgets(line, sizeof line, file) != nullptr) ParseParamLine(line);
    std::fclose(file);
    m_cacheValid = 1;
    return EB_ERR_SUCCESS;
}

EB_ERR_STATUS CLumoStatus::ParseParamLine(char* line) {
    char* save = nullptr;
    const char* keyword = strtok_r(line, kCuts, &save);
    if (keyword == nullptr) return EB_ERR_SUCCESS;
    const KeywordEntry* entry = nullptr;
    for (const KeywordEntry& candidate : kKeywords) {
        if (std::strcmp(candidate.name, keyword) == 0) {
            entry = &candidate;
            break;
        }
    }
    if (entry == nullptr) return EB_ERR_SUCCESS;

    char* values[kMaxValues] = {};
    int count = 0;
    while (count < entry->maxValues) {
        char* value = strtok_r(nullptr, kCuts, &save);
        if (value == nullptr) break;
        values[count++] = value;
    }
    if (count < entry->minValues) return EB_ERR_LOAD_FAILED_BAD_ARGS;

    switch (entry->keyword) {
        case Keyword::DeviceId:
            m_deviceId = values[0];
            break;
        case Keyword::FlashFree:
            m_flashFree = std::atoi(values[0]);
            break;
        case Keyword::LastErr:
            m_lastErr = std::atoi(values[0]);
            break;
        case Keyword::SetAuto:
            m_shutdownTime = std::atoi(values[0]);
            break;
        case Keyword::SetDateForm:
            m_dateFormat.format = static_cast<EDATEFMT>(std::atoi(values[0]));
            m_dateFormat.separator = values[2][0];
            break;
        case Keyword::SetLarge:
            StoreFont(m_largeFont, values, count);
            break;
        case Keyword::SetSmall:
            StoreFont(m_smallFont, values, count);
            break;
        case Keyword::SetTimeForm:
            m_timeFormat.format = static_cast<ETIMEFMT>(std::atoi(values[0]));
            m_timeFormat.separator = values[2][0];
            break;
        case Keyword::SetTZone:
            m_timeZone = std::atoi(values[0]);
            break;
        case Keyword::Sync:
            m_filesysSync = std::atoi(values[0]);
            break;
        case Keyword::Version:
            m_firmwareVersion = values[0];
            break;
        case Keyword::ExternalVersion:
            m_firmwareExtVersion = values[0];
            break;
        case Keyword::Language:
            m_language = values[0];
            break;
    }
    return EB_ERR_SUCCESS;
}

void CLumoStatus::StoreFont(CLumoFont& font, char* const* values, int count) {
    // The first word of the name is the reader's own; the rest is the family and face.
    if (const char* space = std::strchr(values[0], ' ')) {
        font.SetFamily(space + 1);
        font.SetFace(space + 1);
    }
    font.SetSize(static_cast<short>(std::atoi(values[2])));
    font.SetSysFontFlag(count == kMaxValues ? values[4][0] : '?');
}

template <typename T, typename V>
EB_ERR_STATUS CLumoStatus::Get(T& out, const V& cached) {
    const EB_ERR_STATUS loaded = LoadConfig(false);
    if (loaded != EB_ERR_SUCCESS) return loaded;
    out = cached;
    return EB_ERR_SUCCESS;
}

EB_ERR_STATUS CLumoStatus::GetDeviceID(tPI_STRING& out) { return Get(out, m_deviceId); }
EB_ERR_STATUS CLumoStatus::GetSerialNo(tPI_STRING& out) { return Get(out, m_deviceId); }
EB_ERR_STATUS CLumoStatus::GetFirmwareVersion(tPI_STRING& out) {
    return Get(out, m_firmwareVersion);
}
EB_ERR_STATUS CLumoStatus::GetFirmwareExtVersion(tPI_STRING& out) {
    return Get(out, m_firmwareExtVersion);
}
EB_ERR_STATUS CLumoStatus::GetLanguage(tPI_STRING& out) { return Get(out, m_language); }

EB_ERR_STATUS CLumoStatus::GetFlashFree(long& out) { return Get(out, m_flashFree); }
EB_ERR_STATUS CLumoStatus::GetLastErr(long& out) { return Get(out, m_lastErr); }
EB_ERR_STATUS CLumoStatus::GetShutdownTime(long& out) { return Get(out, m_shutdownTime); }
EB_ERR_STATUS CLumoStatus::GetTimeZone(long& out) { return Get(out, m_timeZone); }
EB_ERR_STATUS CLumoStatus::GetFilesysSync(long& out) { return Get(out, m_filesysSync); }
EB_ERR_STATUS CLumoStatus::GetDateFormatA(EB_DATE_FORMAT& out) { return Get(out, m_dateFormat); }
EB_ERR_STATUS CLumoStatus::GetTimeFormatA(EB_TIME_FORMAT& out) { return Get(out, m_timeFormat); }
EB_ERR_STATUS CLumoStatus::GetLargeFont(CLumoFont& out) { return Get(out, m_largeFont); }
EB_ERR_STATUS CLumoStatus::GetSmallFont(CLumoFont& out) { return Get(out, m_smallFont); }

EB_ERR_STATUS CLumoStatus::DumpStatusFile(const char*) { return EB_ERR_DUMP_FAILED; }
