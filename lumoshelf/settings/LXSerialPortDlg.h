#pragma once

#include <QDialog>
#include <array>
#include <chrono>
#include <memory>

#include "settings/PortSearch.h"
#include "settings/SerialPortChoice.h"

class CLXSettingsStore;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// What the serial port dialog needs of the transfer worker.
class CLXSerialPortLink : public lumo::CLXPortSearchLink {
public:
    virtual int SetFirmwareMode(int on) = 0;
};

// The transfer worker as the dialog sees it.
CLXSerialPortLink& TransferWorkerPortLink();

// The "Settings" dialog: which serial port the reader is on, a slower speed, a shared port, and
// the search for the reader over COM1 to COM6. The worker stays in firmware mode while the dialog
// is open, so that the connections it makes do not start reading the reader's titles.
class CLXSerialPortDlg : public QDialog, public lumo::CLXPortSearchView {
    Q_OBJECT
public:
    // The program's dialog, on the transfer worker and its settings.
    explicit CLXSerialPortDlg(QWidget* parent);
    CLXSerialPortDlg(
        QWidget* parent, CLXSettingsStore& settings, CLXSerialPortLink& link,
        std::chrono::milliseconds attemptLimit = lumo::CLXPortSearch::kDefaultAttemptLimit);
    ~CLXSerialPortDlg() override;

    void OnLocate();
    bool IsSearchRunning() const { return m_searchRunning; }

public slots:
    void accept() override;
    void reject() override;

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Shows a message box; tests replace it.
    virtual void ShowMessage(const QString& caption, const QString& text);

private:
    void Build();
    void LoadChoices();
    lumo::SerialPortChoice CurrentChoice() const;
    void SetSearchControlsEnabled(bool enabled);
    void OnSearchDone(int outcome, int foundPort);
    bool SearchThreadBusy() const { return m_searchRunning || m_awaitingDone; }

    void SetStatusLine(int port, const std::string& text) override;
    void SetMessageLine(const std::string& text) override;
    void SearchDone(lumo::PortSearchOutcome outcome, int foundPort) override;

    CLXSettingsStore& m_settings;
    CLXSerialPortLink& m_link;
    lumo::SerialPortChoice m_loaded;
    bool m_searchRan = false;
    bool m_searchRunning = false;
    bool m_awaitingDone = false;
    QString m_locateCaption;

    std::array<QRadioButton*, lumo::kPortNames.size()> m_choices{};
    std::array<QLabel*, lumo::kSearchedPortCount> m_statusLines{};
    QLineEdit* m_portNumber = nullptr;
    QCheckBox* m_slowerSpeed = nullptr;
    QCheckBox* m_sharedPort = nullptr;
    QLabel* m_messageLine = nullptr;
    QPushButton* m_locate = nullptr;
    QPushButton* m_advanced = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;

    std::unique_ptr<lumo::CLXPortSearch> m_search;
};
