#pragma once

#include <QObject>
#include <QPointer>
#include <memory>
#include <string>

#include "transfers/ReaderTitlesSync.h"

class CLXLibraryDoc;
class CLXSettingsStore;
class CLXTransferJob;
class CLXTransferWorker;
class MainWindow;
class UserPrompts;
struct ReaderStartupHooks;

// The main window's side of the reader: the reader state in the status bar, the check of each
// new connection that reads the reader's titles and markups into the library, and the Send,
// Read Titles and Serial Port commands. Made before the window so that no state change of the
// link is missed; the transfer worker ends with it.
class ReaderWindowLink : public QObject {
    Q_OBJECT
public:
    ReaderWindowLink(const std::string& settingsPath, ReaderStartupHooks& hooks);
    ~ReaderWindowLink() override;

    // Once the window and the document exist.
    void Attach(MainWindow& window, CLXLibraryDoc& document, UserPrompts& prompts);

    // Connected and running no job of this window: when the other reader commands may start.
    bool IsReaderReady() const;

signals:
    void ReaderReadyChanged(bool ready);

protected:
    bool event(QEvent* event) override;

private:
    void OnConnectState();
    QString StateText(int state);
    void CheckConnection();
    void OnReadTitles();
    void FetchMarkups(lumo::MarkupFetchList fetch);
    void OnSend();
    void OnSerialPort();
    void OnJobDone();
    void UpdateActions();
    void SetBusy(bool busy);

    CLXTransferWorker& m_worker;
    QPointer<MainWindow> m_window;
    CLXLibraryDoc* m_document = nullptr;
    UserPrompts* m_prompts = nullptr;

    int m_state = 0;
    bool m_connectionChecked = false;
    bool m_busy = false;
    std::string m_readerId;
    lumo::MarkupFetchList m_fetch;
    std::shared_ptr<CLXTransferJob> m_fetchJob;
};
