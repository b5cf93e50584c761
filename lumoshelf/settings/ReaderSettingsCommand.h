#pragma once

#include <QObject>
#include <QPointer>

class CLXTransferWorker;
class QAction;
class QWidget;
class ReaderWindowLink;
class UserPrompts;

// The main window's "Reader Settings..." command: enabled while the reader is connected and no
// job runs, it opens the settings sheet and, on OK, sends the command files the pages queued in
// one job under a progress dialog.
class ReaderSettingsCommand : public QObject {
    Q_OBJECT
public:
    ReaderSettingsCommand(ReaderWindowLink& link, CLXTransferWorker& worker, QAction& action,
                          QWidget& window, UserPrompts& prompts);

    void Open();

protected:
    bool event(QEvent* event) override;

private:
    void UpdateAction();

    ReaderWindowLink& m_link;
    CLXTransferWorker& m_worker;
    QAction& m_action;
    QPointer<QWidget> m_window;
    UserPrompts& m_prompts;
    bool m_readerReady = false;
    bool m_sending = false;
};
