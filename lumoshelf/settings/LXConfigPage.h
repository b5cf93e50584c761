#pragma once

#include <QWidget>
#include <string>
#include <vector>

class CLumoConnect;
class UserPrompts;

// A page of the reader settings sheet. A page reads the reader's current values when it is first
// shown and, on OK, writes its changes into the reader's command file and appends the files that
// carry them to the sheet's send list, which the sheet's opener hands to the transfer worker.
class CLXConfigPage : public QWidget {
    Q_OBJECT
public:
    CLXConfigPage(const QString& title, CLumoConnect& reader, std::vector<std::string>& sendList,
                  UserPrompts& prompts, QWidget* parent = nullptr);

    const QString& Title() const { return m_title; }
    // Each time the page becomes the current one; the first call fills the page.
    void Activate();
    bool WasShown() const { return m_shown; }
    // OK: false keeps the sheet open on this page (a value the user has to correct).
    virtual bool OnApply() = 0;

protected:
    virtual void OnFirstShow() = 0;
    virtual void OnSetActive() {}

    CLumoConnect& Reader() { return m_reader; }
    std::vector<std::string>& SendList() { return m_sendList; }
    UserPrompts& Prompts() { return m_prompts; }

    // Copies the command file just closed to its path followed by suffix and returns the copy's
    // path. When the command file could not be written or the copy failed, it shows 1007 and
    // returns an empty path, so that no stale or missing copy is ever queued.
    std::string CopyCommandFile(const char* suffix);
    // CopyCommandFile, then appends the copy to the send list; false when there is no copy.
    bool AppendCommandFileCopy(const char* suffix);
    // A message with an error icon, titled with the program's name (string-table entry id).
    void ShowError(unsigned id);

private:
    QString m_title;
    CLumoConnect& m_reader;
    std::vector<std::string>& m_sendList;
    UserPrompts& m_prompts;
    bool m_shown = false;
};
