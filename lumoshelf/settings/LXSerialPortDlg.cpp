#include "settings/LXSerialPortDlg.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "library/AppMessages.h"
#include "library/SerialPortName.h"
#include "library/SettingsStore.h"
#include "transfers/TransferWorker.h"
#include "ui/AppMessageEvent.h"
#include "ui/TextConversion.h"

namespace {

constexpr int kStateConnected = EB_ERR_STATUS_CONNECTED;

class WorkerPortLink : public CLXSerialPortLink {
public:
    int Disconnect() override { return GetTransferWorker()->Disconnect(); }
    int Connect(const char* portName, int speedMask) override {
        return GetTransferWorker()->Connect(portName, static_cast<BAUD_BITS_MASK>(speedMask));
    }
    int GetEbConnectState() override { return GetTransferWorker()->GetEbConnectState(); }
    int SetFirmwareMode(int on) override { return GetTransferWorker()->SetFirmwareMode(on); }
};

QString SummaryText(int outcome, const QString& portName) {
    switch (outcome) {
        case lumo::kReaderFound:
            return QStringLiteral("Your Lumo eBook was found on %1. Click 'OK' to select")
                .arg(portName);
        case lumo::kReaderNotFound:
            return QStringLiteral(
                "One or more serial ports are currently not in use.  You should either plug your "
                "Lumo eBook into an available port or, if you think your Lumo eBook is already "
                "plugged in, verify that your Lumo eBook is turned on.");
        case lumo::kAllPortsInUse:
            return QStringLiteral(
                "All your serial ports are in use.  Please make sure your Lumo eBook is plugged "
                "into a serial port and close any program which may be communicating with that "
                "port.");
        default:
            return QStringLiteral(
                "Your computer appears to have no serial ports.  Without a serial port you can "
                "not communicate with your Lumo eBook.");
    }
}

}  // namespace

CLXSerialPortLink& TransferWorkerPortLink() {
    static WorkerPortLink link;
    return link;
}

CLXSerialPortDlg::CLXSerialPortDlg(QWidget* parent)
    : CLXSerialPortDlg(parent, GetTransferWorker()->Settings(), TransferWorkerPortLink()) {}

CLXSerialPortDlg::CLXSerialPortDlg(QWidget* parent, CLXSettingsStore& settings,
                                   CLXSerialPortLink& link, std::chrono::milliseconds attemptLimit)
    : QDialog(parent),
      m_settings(settings),
      m_link(link),
      m_search(std::make_unique<lumo::CLXPortSearch>(link, *this, attemptLimit)) {
    setWindowTitle(QStringLiteral("Settings"));
    setModal(true);
    Build();
    m_link.SetFirmwareMode(1);
    m_messageLine->setText(QStringLiteral("Make sure your Lumo eBook is docked and turned on."));
    LoadChoices();
}

CLXSerialPortDlg::~CLXSerialPortDlg() {
    // The search thread reports into this dialog: it ends before the dialog does.
    m_search.reset();
}

void CLXSerialPortDlg::Build() {
    auto* layout = new QVBoxLayout(this);
    auto* ports = new QGridLayout;
    for (int i = 0; i < lumo::kSearchedPortCount; ++i) {
        const std::string device = ResolveSerialPortName(lumo::kPortNames[i], m_settings);
        m_choices[i] =
            new QRadioButton(QStringLiteral("Com &%1 (%2)").arg(i + 1).arg(toQString(device)));
        m_choices[i]->setObjectName(QStringLiteral("port%1").arg(i + 1));
        m_statusLines[i] = new QLabel;
        m_statusLines[i]->setObjectName(QStringLiteral("status%1").arg(i + 1));
        m_statusLines[i]->setMinimumWidth(320);
        ports->addWidget(m_choices[i], i, 0);
        ports->addWidget(m_statusLines[i], i, 1);
    }
    m_choices[6] = new QRadioButton(QStringLiteral("e&Lumo"));
    m_choices[6]->setObjectName("portKestrel");
    m_choices[6]->setVisible(false);
    m_choices[6]->setEnabled(false);
    auto* portNumberLabel = new QLabel(QStringLiteral("&Port Number:"));
    m_portNumber = new QLineEdit;
    m_portNumber->setObjectName("portNumber");
    portNumberLabel->setBuddy(m_portNumber);
    portNumberLabel->setVisible(false);
    m_portNumber->setVisible(false);
    ports->addWidget(m_choices[6], 6, 0);
    ports->addWidget(portNumberLabel, 7, 0);
    ports->addWidget(m_portNumber, 7, 1);
    layout->addLayout(ports);

    m_slowerSpeed = new QCheckBox(QStringLiteral("&Use slower communication speed"));
    m_slowerSpeed->setObjectName("slowerSpeed");
    m_sharedPort = new QCheckBox(QStringLiteral("Using a &shared com port"));
    m_sharedPort->setObjectName("sharedPort");
    m_messageLine = new QLabel;
    m_messageLine->setObjectName("messageLine");
    m_messageLine->setWordWrap(true);
    layout->addWidget(m_slowerSpeed);
    layout->addWidget(m_sharedPort);
    layout->addWidget(m_messageLine);

    auto* buttons = new QHBoxLayout;
    m_locate = new QPushButton(QStringLiteral("&Locate Lumo eBook Serial Port"));
    m_locate->setObjectName("locate");
    m_locateCaption = m_locate->text();
    m_advanced = new QPushButton(QStringLiteral("&Advanced..."));
    m_advanced->setObjectName("advanced");
    m_advanced->setEnabled(false);
    m_ok = new QPushButton(QStringLiteral("OK"));
    m_ok->setObjectName("ok");
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Cancel"));
    m_cancel->setObjectName("cancel");
    for (QPushButton* button : {m_locate, m_advanced, m_ok, m_cancel}) buttons->addWidget(button);
    layout->addLayout(buttons);

    connect(m_locate, &QPushButton::clicked, this, &CLXSerialPortDlg::OnLocate);
    connect(m_ok, &QPushButton::clicked, this, &CLXSerialPortDlg::accept);
    connect(m_cancel, &QPushButton::clicked, this, &CLXSerialPortDlg::reject);
}

void CLXSerialPortDlg::LoadChoices() {
    m_loaded = lumo::ReadSerialPortChoice(m_settings);
    m_slowerSpeed->setChecked(m_loaded.slowerSpeed);
    m_sharedPort->setChecked(m_loaded.sharedPort);
    if (m_loaded.tickedPort >= 0) m_choices[m_loaded.tickedPort]->setChecked(true);
    m_portNumber->setText(toQString(m_loaded.kestrelPortText));
}

lumo::SerialPortChoice CLXSerialPortDlg::CurrentChoice() const {
    lumo::SerialPortChoice choice = m_loaded;
    choice.tickedPort = -1;
    for (std::size_t i = 0; i < m_choices.size(); ++i) {
        if (m_choices[i]->isChecked()) choice.tickedPort = static_cast<int>(i);
    }
    choice.slowerSpeed = m_slowerSpeed->isChecked();
    choice.sharedPort = m_sharedPort->isChecked();
    choice.kestrelPortText = toBytes(m_portNumber->text());
    return choice;
}

void CLXSerialPortDlg::SetSearchControlsEnabled(bool enabled) {
    for (QWidget* widget : {static_cast<QWidget*>(m_ok), static_cast<QWidget*>(m_cancel),
                            static_cast<QWidget*>(m_slowerSpeed)}) {
        widget->setEnabled(enabled);
    }
    for (int i = 0; i < lumo::kSearchedPortCount; ++i) m_choices[i]->setEnabled(enabled);
}

void CLXSerialPortDlg::OnLocate() {
    if (m_searchRunning) {
        m_search->RequestCancel();
        m_locate->setText(m_locateCaption);
        m_searchRunning = false;
        // The old thread may still be finishing a probe or an attempt; a new search waits
        // until its end has been handled.
        m_locate->setEnabled(!m_awaitingDone);
        return;
    }
    if (m_awaitingDone) return;
    m_searchRunning = true;
    m_awaitingDone = true;
    m_locate->setText(QStringLiteral("Cancel"));
    SetSearchControlsEnabled(false);
    for (QLabel* line : m_statusLines) line->clear();
    m_messageLine->setText(QStringLiteral("Scanning serial ports..."));
    m_searchRan = true;

    std::array<lumo::SearchedPort, lumo::kSearchedPortCount> ports;
    for (int i = 0; i < lumo::kSearchedPortCount; ++i) {
        ports[i] = {lumo::kPortNames[i], ResolveSerialPortName(lumo::kPortNames[i], m_settings)};
    }
    m_search->Start(std::move(ports));
}

void CLXSerialPortDlg::SetStatusLine(int port, const std::string& text) {
    const QString line = toQString(text);
    QMetaObject::invokeMethod(
        this, [this, port, line] { m_statusLines[port]->setText(line); }, Qt::QueuedConnection);
}

void CLXSerialPortDlg::SetMessageLine(const std::string& text) {
    const QString line = toQString(text);
    QMetaObject::invokeMethod(
        this, [this, line] { m_messageLine->setText(line); }, Qt::QueuedConnection);
}

void CLXSerialPortDlg::SearchDone(lumo::PortSearchOutcome outcome, int foundPort) {
    postAppMessage(this, WM_APP_PORT_SEARCH_DONE, outcome, foundPort);
}

bool CLXSerialPortDlg::event(QEvent* event) {
    if (static_cast<unsigned>(event->type()) == WM_APP_PORT_SEARCH_DONE) {
        const auto* message = static_cast<AppMessageEvent*>(event);
        OnSearchDone(static_cast<int>(message->wParam()), static_cast<int>(message->lParam()));
        return true;
    }
    return QDialog::event(event);
}

void CLXSerialPortDlg::OnSearchDone(int outcome, int foundPort) {
    m_search->Join();
    m_awaitingDone = false;
    if (m_search->IsCancelRequested()) {
        // A cancelled search ends without a summary.
    } else {
        const bool found =
            outcome == lumo::kReaderFound && foundPort >= 0 && foundPort < lumo::kSearchedPortCount;
        ShowMessage(QStringLiteral("Result of Lumo eBook Search"),
                    SummaryText(outcome, found ? lumo::kPortNames[foundPort] : ""));
        if (found) m_choices[foundPort]->setChecked(true);
    }
    SetSearchControlsEnabled(true);
    m_locate->setEnabled(true);
    m_locate->setText(m_locateCaption);
    m_searchRunning = false;
}

void CLXSerialPortDlg::accept() {
    if (SearchThreadBusy()) return;
    const lumo::SerialPortChoice choice = CurrentChoice();
    lumo::WritePortAndSpeed(m_settings, choice);
    m_link.Disconnect();
    const int result = m_link.Connect(nullptr, 0);
    if (result != EB_ERR_SUCCESS && result != kStateConnected) {
        ShowMessage(windowTitle(),
                    QStringLiteral("An error occurred while connecting to your serial port. You "
                                   "will not be able to communicate with your Lumo eBook during "
                                   "this session. Make sure your serial port is not in use by "
                                   "another application."));
    }
    lumo::WriteKestrelAndSharing(m_settings, choice);
    m_link.SetFirmwareMode(0);
    QDialog::accept();
}

void CLXSerialPortDlg::reject() {
    // While a search runs the dialog cannot close: Esc and the close box are ignored as well.
    if (SearchThreadBusy()) return;
    m_link.SetFirmwareMode(0);
    if (m_searchRan) {
        m_link.Disconnect();
        m_link.Connect(nullptr, 0);
    }
    QDialog::reject();
}

void CLXSerialPortDlg::closeEvent(QCloseEvent* event) {
    if (SearchThreadBusy()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void CLXSerialPortDlg::ShowMessage(const QString& caption, const QString& text) {
    QMessageBox::information(this, caption, text, QMessageBox::Ok);
}
