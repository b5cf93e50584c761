#pragma once

#include <QDialog>
#include <QPointer>
#include <memory>
#include <string>
#include <vector>

#include "lumolink/EbErrStatus.h"
#include "transfers/JobStarter.h"
#include "transfers/ProgressCounter.h"

class CLXTransfer;
class ProgressWindowBridge;
class QLabel;
class QProgressBar;
class QPushButton;

// The modeless dialog through which every job runs: it starts the job, shows per-file and
// overall progress from the worker's reports, cancels a send job, shows a transfer error once,
// and posts WM_APP_TRANSFER_DONE (0 finished, 17 otherwise) to the window that started the job,
// however the job ends. It deletes itself after that.
class CLXProgressDlg : public QDialog {
    Q_OBJECT
public:
    // jobs: the transfer worker unless a test gives its own.
    explicit CLXProgressDlg(QWidget* parent, CLXJobStarter* jobs = nullptr);
    ~CLXProgressDlg() override;

    void StartSendJob(std::vector<std::string> files, QObject* notifyWindow);
    void StartSendOne(const std::string& file, QObject* notifyWindow);
    // The job is returned so that the starter can tell afterwards how many files arrived.
    std::shared_ptr<CLXTransferJob> StartFetchJob(std::vector<std::string> remoteNames,
                                                  std::vector<std::string> localPaths,
                                                  QObject* notifyWindow);

    // 0 normally, -1 after an error was shown, -2 after a cancellation.
    int OnTransferProgress(std::unique_ptr<CLXTransfer> record);
    void OnJobEnded(EB_ERR_STATUS result);
    void OnCancel();

    bool IsFetchMode() const { return m_fetchMode; }

protected:
    bool event(QEvent* event) override;
    void reject() override;
    void closeEvent(QCloseEvent* event) override;
    // Shows the transfer error box; tests replace it.
    virtual void ShowTransferError(EB_ERR_STATUS error);

private:
    void ResetProgress();
    void Finish(int doneCode);

    CLXJobStarter* m_jobs;
    std::shared_ptr<ProgressWindowBridge> m_bridge;
    std::shared_ptr<CLXTransferJob> m_job;
    QPointer<QObject> m_notifyWindow;
    bool m_fetchMode = false;
    bool m_errorShown = false;
    bool m_finished = false;
    lumo::ProgressCounter m_counter;

    QLabel* m_titleInfo;
    QLabel* m_status;
    QProgressBar* m_fileProgress;
    QLabel* m_filePercent;
    QLabel* m_total;
    QProgressBar* m_jobProgress;
    QLabel* m_jobPercent;
    QPushButton* m_cancel;
};
