#include "transfers/ReaderWindowLink.h"

#include <QAction>
#include <QCheckBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <filesystem>

#include "library/AppMessages.h"
#include "library/LXLibraryDoc.h"
#include "library/StringTable.h"
#include "settings/LXSerialPortDlg.h"
#include "transfers/LXProgressDlg.h"
#include "transfers/PrivateTempDir.h"
#include "transfers/SendSelection.h"
#include "transfers/TitleListFetchDlg.h"
#include "transfers/TransferWorker.h"
#include "ui/AppMessageEvent.h"
#include "ui/LibListView.h"
#include "ui/MainWindow.h"
#include "ui/ReaderStartup.h"
#include "ui/TextConversion.h"
#include "ui/UserPrompts.h"

namespace {

constexpr auto kDeviceIdRetry = std::chrono::milliseconds(300);  // timer 112
constexpr int kNoTitleVersion = 1030;

CLXTransferWorker& WorkerFor(const std::string& settingsPath) {
    UseTransferWorkerSettings(settingsPath);
    return *GetTransferWorker();
}

bool IsConnectedState(int state) {
    return state == EB_ERR_STATUS_CONNECTED || state == EB_ERR_STATUS_CONNECTED_BUSY;
}

}  // namespace

ReaderWindowLink::ReaderWindowLink(const std::string& settingsPath, ReaderStartupHooks& hooks)
    : m_worker(WorkerFor(settingsPath)) {
    m_worker.SetConnectStateListener([this] { postAppMessage(this, WM_APP_CONNECT_STATE); });
    hooks.enableLinkLog = [this](const std::string& path) { m_worker.EnableLogging(path.c_str()); };
    hooks.connect = [this] { return static_cast<int>(m_worker.Connect(nullptr, 0)); };
    hooks.searchPorts = [this] { OnSerialPort(); };
    hooks.systemImageSender = &m_worker;
}

ReaderWindowLink::~ReaderWindowLink() {
    m_worker.SetConnectStateListener(nullptr);
    DestroyTransferWorker();
}

void ReaderWindowLink::Attach(MainWindow& window, CLXLibraryDoc& document, UserPrompts& prompts) {
    m_window = &window;
    m_document = &document;
    m_prompts = &prompts;
    const ReaderActions& actions = window.readerActions();
    connect(actions.send, &QAction::triggered, this, &ReaderWindowLink::OnSend);
    connect(actions.readTitles, &QAction::triggered, this,
            [this] { postAppMessage(this, WM_APP_READ_TITLES); });
    connect(actions.serialPort, &QAction::triggered, this, &ReaderWindowLink::OnSerialPort);
    connect(window.listView().selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ReaderWindowLink::UpdateActions);
    actions.serialPort->setEnabled(true);
    OnConnectState();
}

bool ReaderWindowLink::event(QEvent* event) {
    switch (static_cast<unsigned>(event->type())) {
        case WM_APP_CONNECT_STATE:
            OnConnectState();
            return true;
        case WM_APP_READ_TITLES:
            OnReadTitles();
            return true;
        case WM_APP_TRANSFER_DONE:
            OnJobDone();
            return true;
        default:
            return QObject::event(event);
    }
}

void ReaderWindowLink::OnConnectState() {
    if (!m_window) return;
    const int previous = m_state;
    m_state = m_worker.GetEbConnectState();
    if (IsConnectedState(previous) && !IsConnectedState(m_state)) {
        // The reader is gone: the next connection is a new reader until it says otherwise.
        m_connectionChecked = false;
        m_readerId.clear();
        m_worker.FlushStatusCache();
        m_window->listView().rebuildRows();
    }

    m_window->readerStatePane().setText(StateText(m_state));
    UpdateActions();
    if (m_state == EB_ERR_STATUS_CONNECTED) CheckConnection();
}

QString ReaderWindowLink::StateText(int state) {
    switch (state) {
        case EB_ERR_STATUS_CONNECTED: {
            bool blank = false;
            if (m_worker.IsFirmwareMode() ||
                (m_worker.HasBlankSystem(blank) == EB_ERR_SUCCESS && blank)) {
                return toQString(LXString(303));
            }
            return m_readerId.empty()
                       ? QStringLiteral("Lumo eBook ready")
                       : QStringLiteral("Lumo eBook %1 ready").arg(toQString(m_readerId));
        }
        case EB_ERR_STATUS_NOT_CONNECTED:
            return toQString(LXString(61500));
        case EB_ERR_STATUS_CONNECTED_BUSY:
            return toQString(LXString(61511));
        default:
            return toQString(LXString(61510));
    }
}

void ReaderWindowLink::CheckConnection() {
    if (m_connectionChecked || m_worker.IsFirmwareMode() || !m_window) return;
    if (m_worker.GetEbConnectState() != EB_ERR_STATUS_CONNECTED) return;
    bool blank = false;
    if (m_worker.HasBlankSystem(blank) == EB_ERR_SUCCESS && blank) {
        m_connectionChecked = true;
        postAppMessage(m_window, WM_APP_UPDATE_SOFTWARE);
        return;
    }
    tPI_STRING deviceId;
    if (m_worker.GetStatus()->GetDeviceID(deviceId) != EB_ERR_SUCCESS || deviceId.empty()) {
        QTimer::singleShot(kDeviceIdRetry, this, &ReaderWindowLink::CheckConnection);
        return;
    }
    m_connectionChecked = true;
    m_readerId = deviceId.str();
    m_window->readerStatePane().setText(StateText(EB_ERR_STATUS_CONNECTED));
    postAppMessage(this, WM_APP_READ_TITLES);
}

void ReaderWindowLink::OnReadTitles() {
    if (m_busy || !m_window || !m_document || m_readerId.empty()) return;
    const bool upload = lumo::ShouldUploadMarkups(
        m_worker.Settings(), m_readerId, [this](const std::string& id, bool& dontAskAgain) {
            QMessageBox box(QMessageBox::Question, QStringLiteral("Upload Markups"),
                            QStringLiteral("Do you want to get the TITLE and MARKUP information "
                                           "from the Lumo eBook with id:: <%1>?")
                                .arg(toQString(id)),
                            QMessageBox::Yes | QMessageBox::No, m_window);
            auto* dontAsk = new QCheckBox(QStringLiteral("Do not &ask me again"));
            box.setCheckBox(dontAsk);
            const bool yes = box.exec() == QMessageBox::Yes;
            dontAskAgain = dontAsk->isChecked();
            return yes;
        });
    if (!upload) return;

    std::string titles;
    try {
        titles = (lumo::PrivateTempDir() / "__TITLES").string();
    } catch (const std::filesystem::filesystem_error&) {
        return;
    }
    std::error_code ignored;
    std::filesystem::remove(titles, ignored);
    TitleListFetchDlg fetchDialog(m_window, m_worker, titles);
    if (fetchDialog.exec() != 0) return;

    lumo::MarkupFetchList fetch;
    const int error =
        lumo::ProcessReaderTitleList(titles, m_readerId, *m_document, m_worker.Settings(), fetch);
    std::filesystem::remove(titles, ignored);
    if (error == kNoTitleVersion) {
        m_prompts->tell(programName(), toQString(MessageText(kNoTitleVersion)),
                        UserPrompts::Icon::Stop);
    }
    if (error != 0) return;
    if (!fetch.remoteNames.empty()) FetchMarkups(std::move(fetch));
}

void ReaderWindowLink::FetchMarkups(lumo::MarkupFetchList fetch) {
    m_fetch = std::move(fetch);
    SetBusy(true);
    auto* dialog = new CLXProgressDlg(m_window, &m_worker);
    m_fetchJob = dialog->StartFetchJob(m_fetch.remoteNames, m_fetch.localPaths, this);
}

void ReaderWindowLink::OnSend() {
    if (!m_window || !m_document || m_busy) return;
    std::vector<CLXCard> selected;
    for (int index : m_window->listView().selectedCards()) {
        selected.push_back(m_document->GetCard(index));
    }
    const lumo::SendSelectionPrompts prompts{
        [this](const std::string& path) {
            m_prompts->tell(
                toQString(LXString(61494)),
                QStringLiteral("The following title does not exist on your hard disk: ") +
                    toQString(path),
                UserPrompts::Icon::Exclamation);
        },
        [this] {
            return QMessageBox::question(m_window, programName(), toQString(LXString(61509)),
                                         QMessageBox::Yes | QMessageBox::No,
                                         QMessageBox::No) == QMessageBox::Yes;
        },
        [this] {
            m_prompts->tell(programName(), toQString(LXString(1064)), UserPrompts::Icon::Stop);
        }};
    const std::vector<std::string> files = lumo::BuildSendList(selected, m_readerId, prompts);
    if (files.empty()) return;
    SetBusy(true);
    auto* dialog = new CLXProgressDlg(m_window, &m_worker);
    dialog->StartSendJob(files, this);
}

void ReaderWindowLink::OnSerialPort() {
    CLXSerialPortDlg dialog(m_window);
    dialog.exec();
}

void ReaderWindowLink::OnJobDone() {
    SetBusy(false);
    if (!m_fetchJob) return;
    const std::size_t fetched = m_fetchJob->SucceededCount();
    m_fetchJob.reset();
    if (m_document && lumo::AttachFetchedMarkups(*m_document, m_fetch, fetched) > 0) {
        m_document->Save();
        if (m_window) m_window->listView().rebuildRows();
    }
    m_fetch = {};
}

void ReaderWindowLink::SetBusy(bool busy) {
    m_busy = busy;
    UpdateActions();
}

bool ReaderWindowLink::IsReaderReady() const {
    return m_state == EB_ERR_STATUS_CONNECTED && !m_busy;
}

void ReaderWindowLink::UpdateActions() {
    if (!m_window || !m_document) return;
    std::vector<CLXCard> selected;
    for (int index : m_window->listView().selectedCards()) {
        selected.push_back(m_document->GetCard(index));
    }
    const ReaderActions& actions = m_window->readerActions();
    actions.send->setEnabled(lumo::CanSend(m_state, m_busy, selected));
    actions.readTitles->setEnabled(IsReaderReady() && !m_readerId.empty());
    emit ReaderReadyChanged(IsReaderReady());
}
