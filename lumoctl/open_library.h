#pragma once

// The library document as lumoctl opens it: the program's settings, a console in place of the
// window, and the library file the settings name.

#include <string>

#include "command_registry.h"
#include "library/LXLibraryDoc.h"
#include "library/SettingsStore.h"

namespace lumoctl {

constexpr int kExitLibraryBusy = 3;

// Messages go to the error stream; questions are asked only on a terminal.
class ConsoleUI : public ILXLibraryUI {
public:
    void ShowMessage(const std::string& caption, const std::string& text, Icon) override;
    bool AskYesNo(const std::string& caption, const std::string& text) override;
    void UpdateAllViews(int hint, const CLXCard* card) override;
    int failures = 0;
};

// The settings, the window stand-in and the document, opened on the configured library.
struct OpenLibrary {
    OpenLibrary(const GlobalOptions& options, bool forWriting);
    void saveOrFail();

    CLXSettingsStore settings;
    ConsoleUI ui;
    CLXLibraryDoc doc;
};

}  // namespace lumoctl
