#include "settings/LXConfigPage.h"

#include <fstream>
#include <string>

#include "library/StringTable.h"
#include "lumolink/LumoConnect.h"
#include "transfers/PrivateTempDir.h"
#include "ui/TextConversion.h"
#include "ui/UserPrompts.h"

namespace {

constexpr unsigned kTempFileError = 1007;

// Copies a whole file into a new private file (mode 0600, never through a symbolic link).
bool CopyIntoPrivateFile(const std::string& from, const std::string& to) {
    std::ifstream in(from, std::ios::binary | std::ios::ate);
    if (!in) return false;
    const auto size = static_cast<std::uint64_t>(in.tellg());
    in.seekg(0);
    return lumo::WritePrivateFileFrom(in, size, to) == 0;
}

}  // namespace

CLXConfigPage::CLXConfigPage(const QString& title, CLumoConnect& reader,
                             std::vector<std::string>& sendList, UserPrompts& prompts,
                             QWidget* parent)
    : QWidget(parent), m_title(title), m_reader(reader), m_sendList(sendList), m_prompts(prompts) {}

void CLXConfigPage::Activate() {
    if (!m_shown) {
        m_shown = true;
        OnFirstShow();
    }
    OnSetActive();
}

std::string CLXConfigPage::CopyCommandFile(const char* suffix) {
    CLumoCmd& cmd = *m_reader.GetCmds();
    const std::string source = cmd.GetPath();
    const std::string copy = source + suffix;
    if (cmd.WriteFailed() || !CopyIntoPrivateFile(source, copy)) {
        ShowError(kTempFileError);
        return {};
    }
    return copy;
}

bool CLXConfigPage::AppendCommandFileCopy(const char* suffix) {
    std::string copy = CopyCommandFile(suffix);
    if (copy.empty()) return false;
    m_sendList.push_back(std::move(copy));
    return true;
}

void CLXConfigPage::ShowError(unsigned id) {
    m_prompts.tell(programName(), toQString(MessageText(id)), UserPrompts::Icon::Stop);
}
