#include "lumolink/LumoCmd.h"

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "lumolink/LinkLog.h"
#include "lumolink/LumoConnect.h"
#include "lumolink/platform/PrivateTempDir.h"

namespace {

constexpr const char* kCmdFileName = "__CMDFILE";
constexpr int kFillerLength = 128;

struct FamilyNames {
    const char* keyword;
    const char* builtIn;
    const char* files[4];  // regular, italic, bold, bold italic
};

const FamilyNames& NamesFor(FamilySize size) {
    static const FamilyNames large = {
        "SETLARGE", "SYSTEM_LARGE", {"LARGE.LXF", "LARGEI.LXF", "LARGEB.LXF", "LARGEBI.LXF"}};
    static const FamilyNames small = {
        "SETSMALL", "SYSTEM_SMALL", {"SMALL.LXF", "SMALLI.LXF", "SMALLB.LXF", "SMALLBI.LXF"}};
    return size == FAMILY_SIZE_LARGE ? large : small;
}

std::string Join(std::initializer_list<std::string> parts) {
    std::string line;
    for (const std::string& part : parts) {
        if (!line.empty()) line += ' ';
        line += part;
    }
    return line;
}

}  // namespace

CLumoCmd::CLumoCmd(CLumoConnect* owner) : m_owner(owner) { ReOpen(); }

CLumoCmd::~CLumoCmd() { Close(); }

void CLumoCmd::ReOpen() {
    Close();
    std::snprintf(m_path, sizeof m_path, "%s", kCmdFileName);
    const std::filesystem::path& folder = lumolink::PrivateTempDir();
    if (!folder.empty()) {
        const std::string full = (folder / kCmdFileName).string();
        if (full.size() < sizeof m_path) std::snprintf(m_path, sizeof m_path, "%s", full.c_str());
    }
    const int fd = lumolink::OpenForWritingNoFollow(m_path);
    m_file = fd >= 0 ? fdopen(fd, "wb") : nullptr;
    if (fd >= 0 && m_file == nullptr) close(fd);
    m_open = m_file != nullptr;
    m_writeFailed = !m_open;
    WriteLine("CMD!");
}

void CLumoCmd::Close() {
    if (!m_open) return;
    if (std::fclose(m_file) != 0) m_writeFailed = true;
    m_file = nullptr;
    m_open = false;
}

void CLumoCmd::WriteLine(const char* text) {
    if (!m_open) {
        m_writeFailed = true;
        return;
    }
    // The reader expects DOS line ends; the stream is binary, so both bytes are written here.
    if (std::fputs(text, m_file) < 0 || std::fputs(LX_CR, m_file) < 0 ||
        std::fputs(LX_LF, m_file) < 0) {
        m_writeFailed = true;
    }
}

EB_ERR_STATUS CLumoCmd::SetAutoTimeOut(int seconds) {
    WriteLine(Join({"SETAUTO", std::to_string(seconds)}).c_str());
    return EB_ERR_SUCCESS;
}

EB_ERR_STATUS CLumoCmd::SetDate(int a, int b, int c) {
    WriteLine(Join({"SETDATE", std::to_string(a), std::to_string(b), std::to_string(c)}).c_str());
    return EB_ERR_SUCCESS;
}

EB_ERR_STATUS CLumoCmd::SetDateFmt(CLumoStatus::EDATEFMT format, char separator) {
    WriteLine(Join({"SETDATEFORM", std::to_string(format), std::string(1, separator)}).c_str());
    return EB_ERR_SUCCESS;
}

EB_ERR_STATUS CLumoCmd::SetPagination(int on) {
    WriteLine(on ? "REPAG" : "DONTREPAG");
    return EB_ERR_SUCCESS;
}

EB_ERR_STATUS CLumoCmd::SetDefaultFont(FamilySize size) {
    const std::string font = NamesFor(size).builtIn;
    WriteLine(Join({NamesFor(size).keyword, font, font + "_ITALIC", font + "_BOLD",
                    font + "_BOLD_ITALIC"})
                  .c_str());
    return EB_ERR_SUCCESS;
}

EB_ERR_STATUS CLumoCmd::EraseUserFont(FamilySize size) {
    for (const char* file : NamesFor(size).files) WriteLine(Join({"FERASE", file}).c_str());
    return EB_ERR_SUCCESS;
}

EB_ERR_STATUS CLumoCmd::SetUserFont(FamilySize size, const char* a, const char* b, const char* c,
                                    const char* d) {
    auto text = [](const char* name) { return std::string(name ? name : ""); };
    WriteLine(Join({NamesFor(size).keyword, text(a), text(b), text(c), text(d)}).c_str());
    return EB_ERR_SUCCESS;
}

EB_ERR_STATUS CLumoCmd::SetTime(int a, int b, int c) {
    WriteLine(Join({"SETTIME", std::to_string(a), std::to_string(b), std::to_string(c)}).c_str());
    return EB_ERR_SUCCESS;
}

EB_ERR_STATUS CLumoCmd::SetTimeFmt(CLumoStatus::ETIMEFMT format, char separator) {
    WriteLine(Join({"SETTIMEFORM", std::to_string(format), std::string(1, separator)}).c_str());
    return EB_ERR_SUCCESS;
}

EB_ERR_STATUS CLumoCmd::SetTimeZone(int zone) {
    WriteLine(Join({"SETTZONE", std::to_string(zone)}).c_str());
    return EB_ERR_SUCCESS;
}

EB_ERR_STATUS CLumoCmd::InitDir(const char* directory) {
    WriteLine((std::string("INITDIR ") + (directory ? directory : "")).c_str());
    return EB_ERR_SUCCESS;
}

EB_ERR_STATUS CLumoCmd::Reset() {
    WriteLine("RESET");
    return EB_ERR_SUCCESS;
}

EB_ERR_STATUS CLumoCmd::AddFiller() {
    WriteLine(std::string(kFillerLength, ' ').c_str());
    return EB_ERR_SUCCESS;
}

EB_ERR_STATUS CLumoCmd::SendCmdFile() {
    lumolink::DebugOutput("CLumoCmd::SendCmdFile\n");
    if (!m_open) return m_writeFailed ? EB_ERR_CANT_ACCESS_LOCAL_FILE : EB_ERR_SUCCESS;
    AddFiller();
    Close();
    // Sending a file that lost lines would apply only part of the commands.
    if (m_writeFailed) return EB_ERR_CANT_ACCESS_LOCAL_FILE;
    CLumoConnectTransfer transfer(m_path, kCmdFileName, PPP_CONN_XFER_DIR_SEND, 1,
                                  LUMO_FILE_TYPE_DEFAULT, 0);
    return m_owner->TransferFile(&transfer);
}
