#include "transfers/TransferWorker.h"

#include <cstring>

#include "library/SerialPortName.h"
#include "library/SettingsPaths.h"
#include "transfers/JobRunner.h"
#include "transfers/LXTransfer.h"
#include "transfers/LocalNameStage.h"
#include "transfers/ReaderIdentity.h"

namespace {

bool IsProgramContext(std::uint32_t context) {
    return context == lumo::kContextSentFile || context == lumo::kContextFetchedMarkup ||
           context == lumo::kContextTitleList;
}

}  // namespace

CLXTransferWorker::CLXTransferWorker(std::string settingsPath)
    : m_settings(std::move(settingsPath)),
      m_jobs(std::make_unique<CLXJobQueue>([this](CLXTransferJob& job) { return RunJob(job); },
                                           [](CLXTransferJob& job, int result) {
                                               if (job.ProgressWindow()) {
                                                   job.ProgressWindow()->PostJobEnded(
                                                       static_cast<EB_ERR_STATUS>(result));
                                               }
                                           },
                                           [this] { CancelFileTransfer(); })) {}

CLXTransferWorker::~CLXTransferWorker() {
    // The jobs use the link, so they end before the link does; the link is closed before this
    // object's members go, so that no state change reaches them half destroyed.
    m_jobs.reset();
    Disconnect();
    SetConnectStateListener(nullptr);
}

EB_ERR_STATUS CLXTransferWorker::Connect(const char* port, BAUD_BITS_MASK mask) {
    {
        std::lock_guard lock(m_connectMutex);
        m_connected = false;
    }
    const std::string portName =
        port != nullptr ? std::string(port) : m_settings.StringOr("DataComm", "ComPort");
    if (mask == 0) {
        std::uint32_t stored = 0;
        mask = m_settings.ReadNumber("DataComm", "Baud", stored) && (stored & BAUD_BITS_ALL) != 0
                   ? static_cast<BAUD_BITS_MASK>(stored & BAUD_BITS_ALL)
                   : BAUD_BITS_ALL;
    }
    const std::string device = ResolveSerialPortName(portName, m_settings);
    const EB_ERR_STATUS result = CLumoConnect::Connect(device.c_str(), mask);
    if (result != EB_ERR_SUCCESS) OnConnect(result);
    return result;
}

std::shared_ptr<CLXTransferJob> CLXTransferWorker::StartSend(
    std::vector<std::string> files, std::uint8_t option,
    std::shared_ptr<CLXProgressWindow> window) {
    auto job = CLXTransferJob::Send(std::move(files), option, std::move(window));
    m_jobs->Enqueue(job);
    return job;
}

std::shared_ptr<CLXTransferJob> CLXTransferWorker::StartFetch(
    std::vector<std::string> remoteNames, std::vector<std::string> localPaths, std::uint8_t option,
    std::shared_ptr<CLXProgressWindow> window) {
    auto job = CLXTransferJob::Fetch(std::move(remoteNames), std::move(localPaths), option,
                                     std::move(window));
    m_jobs->Enqueue(job);
    return job;
}

void CLXTransferWorker::CancelJob(const std::shared_ptr<CLXTransferJob>& job) {
    if (job) m_jobs->Cancel(job);
}

int CLXTransferWorker::RunJob(CLXTransferJob& job) {
    return job.GetKind() == CLXTransferJob::Kind::Send ? lumo::RunSendJob(*this, job)
                                                       : lumo::RunFetchJob(*this, job);
}

int CLXTransferWorker::SendFile(const std::string& localPath, const std::string& remoteName,
                                std::uint8_t option, int fileType,
                                const std::shared_ptr<CLXProgressWindow>& progressWindow,
                                const std::string& description, int index, int count,
                                std::uint32_t context) {
    lumo::LocalNameStage stage(localPath, lumo::LocalNameStage::Direction::Send);
    if (!stage.Ok()) return EB_ERR_CANT_ACCESS_LOCAL_FILE;
    CLXTransfer transfer(stage.LinkName().c_str(), remoteName.c_str(), PPP_CONN_XFER_DIR_SEND,
                         option, static_cast<LUMO_FILE_TYPE>(fileType), context, progressWindow,
                         description, index, count);
    return TransferFile(&transfer);
}

int CLXTransferWorker::FetchFile(const std::string& remoteName, const std::string& localPath,
                                 std::uint8_t option,
                                 const std::shared_ptr<CLXProgressWindow>& progressWindow,
                                 const std::string& description, int index, int count,
                                 std::uint32_t context) {
    lumo::LocalNameStage stage(localPath, lumo::LocalNameStage::Direction::Receive);
    if (!stage.Ok()) return EB_ERR_CANT_ACCESS_LOCAL_FILE;
    CLXTransfer transfer(stage.LinkName().c_str(), remoteName.c_str(), PPP_CONN_XFER_DIR_RECEIVE,
                         option, LUMO_FILE_TYPE_DEFAULT, context, progressWindow, description,
                         index, count);
    const EB_ERR_STATUS result = TransferFile(&transfer);
    if (result == EB_ERR_SUCCESS && !stage.FinishReceive()) return EB_ERR_CANT_ACCESS_LOCAL_FILE;
    return result;
}

void CLXTransferWorker::FlushStatusCache() { GetStatus()->FlushStatusCache(); }

int CLXTransferWorker::SendFile(const SystemImageTransfer& transfer) {
    return SendFile(transfer.path, transfer.remoteName, static_cast<std::uint8_t>(transfer.option),
                    transfer.fileType, nullptr, {}, transfer.index, transfer.count,
                    static_cast<std::uint32_t>(transfer.context));
}

std::string CLXTransferWorker::ResultName(int result) {
    return result >= EB_ERR_SUCCESS && result <= EB_ERR_EOF_ON_SEND
               ? GetEbErrMsg(static_cast<EB_ERR_STATUS>(result))
               : GetEbErrMsg(EB_ERR_GENERAL_ERROR);
}

EB_ERR_STATUS CLXTransferWorker::GetVersionAndId(std::string& version, std::string& identifier) {
    char buffer[66] = {};
    const EB_ERR_STATUS result = GetVersionAndRemoteId(buffer, sizeof buffer);
    if (result != EB_ERR_SUCCESS) return result;
    const std::string reply(buffer, strnlen(buffer, sizeof buffer));
    return lumo::SplitVersionAndId(reply, version, identifier) ? EB_ERR_SUCCESS : EB_ERR_PROTOCOL;
}

EB_ERR_STATUS CLXTransferWorker::HasBlankSystem(bool& blank) {
    std::string version;
    std::string identifier;
    const EB_ERR_STATUS result = GetVersionAndId(version, identifier);
    blank = result == EB_ERR_SUCCESS && lumo::IsBlankSystemVersion(version);
    return result;
}

int CLXTransferWorker::SetFirmwareMode(int on) { return m_firmwareMode.exchange(on); }

std::uint32_t CLXTransferWorker::GetJobSize() const {
    const auto job = m_jobs->Running();
    return job ? job->Size() : 0;
}

void CLXTransferWorker::SetConnectStateListener(std::function<void()> listener) {
    std::lock_guard lock(m_connectMutex);
    m_connectStateListener = std::move(listener);
}

bool CLXTransferWorker::WaitConnected(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_connectMutex);
    return m_connectedChanged.wait_for(lock, timeout, [this] { return m_connected; });
}

void CLXTransferWorker::OnConnect(EB_ERR_STATUS state) {
    // The listener is called under the lock, so that once it has been replaced no call to the
    // old one is still under way.
    std::lock_guard lock(m_connectMutex);
    if (state == EB_ERR_STATUS_CONNECTED) {
        m_connected = true;
        m_connectedChanged.notify_all();
    }
    if (m_connectStateListener) m_connectStateListener();
}

void CLXTransferWorker::OnProgress(CLumoConnectTransfer* transfer) {
    if (transfer == nullptr || !IsProgramContext(transfer->GetContext())) return;
    const auto* record = static_cast<const CLXTransfer*>(transfer);
    if (!record->ProgressWindow()) return;
    // The base has just stored this report's converted result as the last error.
    auto copy = std::make_unique<CLXTransfer>(*record);
    copy->SetEbError(GetLastEbError());
    record->ProgressWindow()->PostTransferProgress(std::move(copy));
}

namespace {

struct WorkerHolder {
    std::mutex mutex;
    std::string settingsPath;
    std::unique_ptr<CLXTransferWorker> worker;
};

WorkerHolder& Holder() {
    static WorkerHolder holder;
    return holder;
}

}  // namespace

CLXTransferWorker* GetTransferWorker() {
    WorkerHolder& holder = Holder();
    std::lock_guard lock(holder.mutex);
    if (!holder.worker) {
        holder.worker = std::make_unique<CLXTransferWorker>(
            holder.settingsPath.empty() ? DefaultSettingsPath() : holder.settingsPath);
    }
    return holder.worker.get();
}

void UseTransferWorkerSettings(const std::string& settingsPath) {
    WorkerHolder& holder = Holder();
    std::lock_guard lock(holder.mutex);
    holder.settingsPath = settingsPath;
}

void DestroyTransferWorker() {
    WorkerHolder& holder = Holder();
    std::unique_ptr<CLXTransferWorker> worker;
    {
        std::lock_guard lock(holder.mutex);
        worker = std::move(holder.worker);
    }
}
