#pragma once

#include <memory>
#include <string>

struct EditionChoices;

// The progress dialog of one edition build.
class IEditionProgress {
public:
    virtual ~IEditionProgress() = default;
    // range pages known, position of them done (at least 1).
    virtual void ShowPosition(int range, int position) = 0;
    // Still busy with no position to show: a counter from 0 to 99 that wraps.
    virtual void ShowBusy(int counter) = 0;
    // The first text line: what the converter does.
    virtual void SetText(const std::string& text) = 0;
    // The second text line: the converter's status.
    virtual void SetStatusText(const std::string& text) = 0;
};

// The dialogs of building an edition; the main window implements it, tests script it.
class ILXEditionUI {
public:
    virtual ~ILXEditionUI() = default;
    // The edition dialog, filled in with choices; false when the user cancelled.
    virtual bool EditEdition(EditionChoices& choices) = 0;
    // Shows the progress dialog until the returned object is destroyed.
    virtual std::unique_ptr<IEditionProgress> OpenBuildProgress() = 0;
    // Asks for a user name and password for url; false when the user cancelled.
    virtual bool AskCredentials(const std::string& url, std::string& user,
                                std::string& password) = 0;
};
