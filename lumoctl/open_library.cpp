#include "open_library.h"

#include <unistd.h>

#include <iostream>

#include "library/LXCardErrors.h"
#include "library/LibraryLocation.h"
#include "library/SettingsPaths.h"
#include "library/StringTable.h"

namespace lumoctl {

void ConsoleUI::ShowMessage(const std::string& caption, const std::string& text, Icon) {
    std::cerr << caption << ": " << text << '\n';
}

bool ConsoleUI::AskYesNo(const std::string& caption, const std::string& text) {
    std::cerr << caption << ": " << text;
    if (!::isatty(STDIN_FILENO)) {
        std::cerr << "(no terminal to answer on: no)\n";
        return false;
    }
    std::cerr << "[y/N] ";
    std::string answer;
    std::getline(std::cin, answer);
    return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}

void ConsoleUI::UpdateAllViews(int hint, const CLXCard* card) {
    if (!card) return;
    switch (hint) {
        case HINT_TITLE_ADDED:
            std::cout << "added: " << card->title << '\n';
            break;
        case HINT_REINSTALLED:
            std::cout << "reinstalled: " << card->title << '\n';
            break;
        case HINT_ADD_FAILED:
        case HINT_REINSTALL_FAILED: {
            CardErrorMessage message = MessageForCardError(*card);
            std::cerr << message.caption << ": " << message.text << '\n';
            ++failures;
            break;
        }
        default:
            break;
    }
}

OpenLibrary::OpenLibrary(const GlobalOptions& options, bool forWriting)
    : settings(options.settingsFile.empty() ? DefaultSettingsPath() : options.settingsFile),
      doc(settings, ui) {
    WriteInstallDefaults(settings);
    std::string libraryPath;
    if (int error = LocateLibraryFile(settings, libraryPath))
        throw CommandFailure{MessageText(error)};
    if (!doc.OnOpenDocument(libraryPath))
        throw CommandFailure{"cannot open the library " + libraryPath +
                             (doc.LastLoadError().empty() ? "" : ": " + doc.LastLoadError())};
    if (forWriting && doc.IsHeldElsewhere())
        throw CommandFailure{"the library is open in another program; nothing was changed",
                             kExitLibraryBusy};
}

void OpenLibrary::saveOrFail() {
    if (!doc.Save()) throw CommandFailure{"cannot save the library " + doc.LibraryPath()};
}

}  // namespace lumoctl
