#pragma once

// The reader's status file "__STATUS", fetched over the link on first use and cached until
// FlushStatusCache.

#include <cstdint>

#include "lumolink/EbErrStatus.h"
#include "lumolink/LumoFont.h"
#include "lumolink/LumoLinkExport.h"
#include "lumolink/PiString.h"

class CPPPConn;

class LUMOLINK_API CLumoStatus {
public:
    // Format numbers as the reader reports them; the settings pages read time format 0 as the
    // 12-hour clock and any other value as the 24-hour clock.
    enum EDATEFMT : int32_t {};
    enum ETIMEFMT : int32_t { TIMEFMT_12_HOUR = 0, TIMEFMT_24_HOUR = 1 };

    struct EB_DATE_FORMAT {
        EDATEFMT format = EDATEFMT{};
        char separator = 0;
    };
    struct EB_TIME_FORMAT {
        ETIMEFMT format = TIMEFMT_12_HOUR;
        char separator = 0;
    };

    explicit CLumoStatus(CPPPConn* engine);
    CLumoStatus(const CLumoStatus&) = delete;
    CLumoStatus& operator=(const CLumoStatus&) = delete;

    void InitVars();
    void FlushStatusCache();

    EB_ERR_STATUS GetDeviceID(tPI_STRING& out);
    EB_ERR_STATUS GetSerialNo(tPI_STRING& out);
    EB_ERR_STATUS GetFirmwareVersion(tPI_STRING& out);
    EB_ERR_STATUS GetFirmwareExtVersion(tPI_STRING& out);
    EB_ERR_STATUS GetLanguage(tPI_STRING& out);
    EB_ERR_STATUS GetFlashFree(long& out);
    EB_ERR_STATUS GetLastErr(long& out);
    EB_ERR_STATUS GetShutdownTime(long& out);
    EB_ERR_STATUS GetTimeZone(long& out);
    EB_ERR_STATUS GetFilesysSync(long& out);
    EB_ERR_STATUS GetDateFormatA(EB_DATE_FORMAT& out);
    EB_ERR_STATUS GetTimeFormatA(EB_TIME_FORMAT& out);
    EB_ERR_STATUS GetLargeFont(CLumoFont& out);
    EB_ERR_STATUS GetSmallFont(CLumoFont& out);

    EB_ERR_STATUS DumpStatusFile(const char* path);

private:
    friend class CLumoStatusTestAccess;

    EB_ERR_STATUS LoadConfig(bool force);
    EB_ERR_STATUS ParseParamLine(char* line);
    void StoreFont(CLumoFont& font, char* const* values, int count);
    // Loads the cache if needed, then copies the cached value (read only after the load).
    template <typename T, typename V>
    EB_ERR_STATUS Get(T& out, const V& cached);

    tPI_STRING m_deviceId;
    int32_t m_flashFree = 0;
    CLumoFont m_largeFont;
    int32_t m_lastErr = 0;
    int32_t m_shutdownTime = 0;
    EB_DATE_FORMAT m_dateFormat;
    EB_TIME_FORMAT m_timeFormat;
    int32_t m_timeZone = 0;
    CLumoFont m_smallFont;
    int32_t m_filesysSync = 0;
    tPI_STRING m_firmwareVersion;
    tPI_STRING m_firmwareExtVersion;
    tPI_STRING m_language;
    CPPPConn* m_engine = nullptr;
    uint8_t m_cacheValid = 0;
};
