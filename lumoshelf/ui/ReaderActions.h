#pragma once

class QAction;
class QObject;

// The commands that talk to the reader. They are made here, disabled, and placed in the Reader
// menu and the tool bar by the main window; the transfer side connects and enables each one when
// its command works.
struct ReaderActions {
    QAction* send = nullptr;
    QAction* readTitles = nullptr;
    QAction* readerSettings = nullptr;
    QAction* serialPort = nullptr;
    QAction* softwareUpdate = nullptr;
};

ReaderActions createReaderActions(QObject* parent);
