#pragma once

#include <functional>
#include <string>

class CLXSettingsStore;
class ISystemImageSender;
class UserPrompts;

// The reader's part of start-up. The transfer side fills these in: the link log switch, the
// connection on the configured port (0 or an error), the search for the reader's port, and the
// sender through which the library sends reader system images at once.
struct ReaderStartupHooks {
    std::function<void(const std::string& logPath)> enableLinkLog;
    std::function<int()> connect;
    std::function<void()> searchPorts;
    ISystemImageSender* systemImageSender = nullptr;
};

// Without a configured port the user is told how to choose one (and the port search runs when
// there is one); otherwise the link log is switched on when configured and the reader is
// connected, with a message when the port cannot be opened. The program runs on either way.
void startReaderConnection(const CLXSettingsStore& settings, UserPrompts& prompts,
                           const ReaderStartupHooks& hooks);
