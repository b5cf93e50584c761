#pragma once

#include <QString>
#include <chrono>
#include <memory>

#include "ui/ReaderStartup.h"

class CLXLibraryDoc;
class CLXSettingsStore;
class EditionWindowUi;
class LibraryWindowUi;
class MainWindow;
class SingleInstance;
class UserPrompts;

// One run of the program, from the single-instance check to the open, visible library; the
// window, the document and the settings live as long as the session.
class ProgramSession {
public:
    struct Options {
        QString settingsPath;
        QString commandLineFile;  // absolute, or empty
        QString dataFolder;       // where strings_<lang>.ini files are looked for
        std::chrono::milliseconds handOverPatience{5000};
    };
    enum class Outcome {
        Running,     // the window is up; run the event loop
        HandedOver,  // another instance took the request; end quietly
        Stopped,     // the start failed and the user was told why
    };

    explicit ProgramSession(UserPrompts& prompts);
    ~ProgramSession();

    ReaderStartupHooks& readerHooks() { return readerHooks_; }
    Outcome start(const Options& options);

    MainWindow* window() const { return window_.get(); }
    CLXLibraryDoc* document() const { return document_.get(); }
    CLXSettingsStore* settings() const { return settings_.get(); }

private:
    void tellUnanswered(const QString& commandLineFile);

    UserPrompts& prompts_;
    ReaderStartupHooks readerHooks_;
    std::unique_ptr<SingleInstance> instance_;
    std::unique_ptr<CLXSettingsStore> settings_;
    std::unique_ptr<CLXSettingsStore> profile_;
    std::unique_ptr<LibraryWindowUi> documentUi_;
    std::unique_ptr<EditionWindowUi> editionUi_;
    std::unique_ptr<CLXLibraryDoc> document_;
    std::unique_ptr<MainWindow> window_;
};
