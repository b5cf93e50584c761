#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "library/LibraryInterfaces.h"
#include "library/SettingsStore.h"
#include "lumolink/LumoConnect.h"
#include "transfers/JobLink.h"
#include "transfers/JobQueue.h"
#include "transfers/JobStarter.h"
#include "transfers/ProgressWindow.h"

// The program's one connection to the reader. It opens the link with the port and speed from
// the settings, turns the link's callbacks into messages for the windows, and runs jobs (files
// to send or to fetch) one after another on a thread of its own.
class CLXTransferWorker : public CLumoConnect,
                          public CLXJobLink,
                          public CLXJobStarter,
                          public ISystemImageSender {
public:
    explicit CLXTransferWorker(std::string settingsPath);
    ~CLXTransferWorker() override;

    // A null port means the setting "DataComm"/"ComPort", a zero mask "DataComm"/"Baud".
    // A failed attempt is also reported through OnConnect.
    EB_ERR_STATUS Connect(const char* port, BAUD_BITS_MASK mask) override;

    // Start a job and return at once; the job is queued behind one that runs.
    std::shared_ptr<CLXTransferJob> StartSend(std::vector<std::string> files, std::uint8_t option,
                                              std::shared_ptr<CLXProgressWindow> window) override;
    std::shared_ptr<CLXTransferJob> StartFetch(std::vector<std::string> remoteNames,
                                               std::vector<std::string> localPaths,
                                               std::uint8_t option,
                                               std::shared_ptr<CLXProgressWindow> window) override;
    // Cancels a job: its running transfer ends and no further file of it is started.
    void CancelJob(const std::shared_ptr<CLXTransferJob>& job) override;

    int SendFile(const std::string& localPath, const std::string& remoteName, std::uint8_t option,
                 int fileType, const std::shared_ptr<CLXProgressWindow>& progressWindow,
                 const std::string& description, int index, int count,
                 std::uint32_t context) override;
    int FetchFile(const std::string& remoteName, const std::string& localPath, std::uint8_t option,
                  const std::shared_ptr<CLXProgressWindow>& progressWindow,
                  const std::string& description, int index, int count,
                  std::uint32_t context) override;
    void FlushStatusCache() override;

    // A system image handed over by the library, sent at once without a progress window.
    int SendFile(const SystemImageTransfer& transfer) override;
    std::string ResultName(int result) override;

    // The reader's "version/identifier" reply split at the first "/".
    EB_ERR_STATUS GetVersionAndId(std::string& version, std::string& identifier);
    // True when the reader reports the version "000.000...", which means it has no system.
    EB_ERR_STATUS HasBlankSystem(bool& blank);

    int SetFirmwareMode(int on) override;
    bool IsFirmwareMode() const { return m_firmwareMode != 0; }
    // The size of the send job that runs now, 0 for none or a fetch.
    std::uint32_t GetJobSize() const;

    // Called on the link's thread at every state change (WM_APP_CONNECT_STATE); it must only
    // post a message.
    void SetConnectStateListener(std::function<void()> listener);
    // Waits until the link has reported the connected state since the last Connect.
    bool WaitConnected(std::chrono::milliseconds timeout);

    CLXSettingsStore& Settings() { return m_settings; }

protected:
    void OnConnect(EB_ERR_STATUS state) override;
    void OnProgress(CLumoConnectTransfer* transfer) override;

private:
    int RunJob(CLXTransferJob& job);

    CLXSettingsStore m_settings;
    std::mutex m_connectMutex;
    std::condition_variable m_connectedChanged;
    bool m_connected = false;
    std::function<void()> m_connectStateListener;
    std::atomic<int> m_firmwareMode{0};
    std::unique_ptr<CLXJobQueue> m_jobs;
};

// The single worker, made on first use. Every part of the program reaches the reader through it.
CLXTransferWorker* GetTransferWorker();
// Names the settings file for the worker; call before the first GetTransferWorker.
void UseTransferWorkerSettings(const std::string& settingsPath);
// Ends the worker at program exit: running jobs are cancelled and joined before the link goes.
void DestroyTransferWorker();
