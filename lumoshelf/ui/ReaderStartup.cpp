#include "ui/ReaderStartup.h"

#include "ui/StartupSettings.h"
#include "ui/UiStrings.h"
#include "ui/UserPrompts.h"

namespace {

constexpr unsigned kChoosePort = 304;
constexpr unsigned kPortFailed = 61489;

}  // namespace

void startReaderConnection(const CLXSettingsStore& settings, UserPrompts& prompts,
                           const ReaderStartupHooks& hooks) {
    if (!HasSerialPortSetting(settings)) {
        prompts.tell(programName(), uiMessage(kChoosePort), UserPrompts::Icon::Information);
        if (hooks.searchPorts) hooks.searchPorts();
        return;
    }
    if (const std::string log = LinkLogPath(settings); !log.empty() && hooks.enableLinkLog)
        hooks.enableLinkLog(log);
    if (hooks.connect && hooks.connect() != 0)
        prompts.tell(programName(), uiMessage(kPortFailed), UserPrompts::Icon::Exclamation);
}
