#pragma once

// Builds the reader's command file "__CMDFILE": "CMD!" then one command per line, each line
// ending in CR LF, in lumolink's private temporary folder.

#include <cstdio>

#include "lumolink/EbErrStatus.h"
#include "lumolink/LumoFont.h"
#include "lumolink/LumoLinkExport.h"
#include "lumolink/LumoStatus.h"

class CLumoConnect;

inline constexpr int LUMO_CMD_PATH_SIZE = 520;

class LUMOLINK_API CLumoCmd {
public:
    explicit CLumoCmd(CLumoConnect* owner);
    CLumoCmd(const CLumoCmd&) = delete;
    CLumoCmd& operator=(const CLumoCmd&) = delete;
    ~CLumoCmd();

    // Every command returns EB_ERR_SUCCESS; a file that could not be written shows in WriteFailed.
    EB_ERR_STATUS SetAutoTimeOut(int seconds);
    EB_ERR_STATUS SetDate(int a, int b, int c);
    EB_ERR_STATUS SetDateFmt(CLumoStatus::EDATEFMT format, char separator);
    EB_ERR_STATUS SetPagination(int on);
    EB_ERR_STATUS SetDefaultFont(FamilySize size);
    EB_ERR_STATUS EraseUserFont(FamilySize size);
    EB_ERR_STATUS SetUserFont(FamilySize size, const char* a, const char* b, const char* c,
                              const char* d);
    EB_ERR_STATUS SetTime(int a, int b, int c);
    EB_ERR_STATUS SetTimeFmt(CLumoStatus::ETIMEFMT format, char separator);
    EB_ERR_STATUS SetTimeZone(int zone);
    EB_ERR_STATUS InitDir(const char* directory);
    EB_ERR_STATUS Reset();
    EB_ERR_STATUS AddFiller();

    void ReOpen();
    void Close();
    EB_ERR_STATUS SendCmdFile();

    const char* GetPath() const { return m_path; }
    // True when the file since the last ReOpen could not be created or a line was lost.
    bool WriteFailed() const { return m_writeFailed; }

private:
    static constexpr const char* LX_LF = "\n";
    static constexpr const char* LX_CR = "\r";

    void WriteLine(const char* text);

    char m_path[LUMO_CMD_PATH_SIZE] = {};  // first member: callers may use the object as its path
    CLumoConnect* m_owner = nullptr;
    std::FILE* m_file = nullptr;
    bool m_open = false;
    bool m_writeFailed = false;
};
