#include "transfers/LXProgressDlg.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>

#include "library/AppMessages.h"
#include "library/StringTable.h"
#include "lumolink/LumoConnect.h"
#include "transfers/LXTransfer.h"
#include "transfers/ProgressWindowBridge.h"
#include "transfers/TransferWorker.h"
#include "ui/TextConversion.h"

namespace {

constexpr std::uint8_t kDialogTransferOption = 1;
constexpr int kDoneFinished = 0;
constexpr int kDoneCancelled = EB_ERR_OPERATION_CANCELLED;

QLabel* AddValue(QGridLayout* grid, int row, const char* label, const char* name) {
    auto* value = new QLabel;
    value->setObjectName(name);
    value->setMinimumWidth(260);
    grid->addWidget(new QLabel(QString::fromLatin1(label)), row, 0);
    grid->addWidget(value, row, 1, 1, 2);
    return value;
}

QProgressBar* AddBar(QGridLayout* grid, int row, const char* name, QLabel*& percent,
                     const char* percentName) {
    auto* bar = new QProgressBar;
    bar->setObjectName(name);
    bar->setRange(0, 100);
    bar->setTextVisible(false);
    percent = new QLabel;
    percent->setObjectName(percentName);
    percent->setMinimumWidth(40);
    grid->addWidget(bar, row, 1);
    grid->addWidget(percent, row, 2);
    return bar;
}

}  // namespace

CLXProgressDlg::CLXProgressDlg(QWidget* parent, CLXJobStarter* jobs)
    : QDialog(parent),
      m_jobs(jobs != nullptr ? jobs : GetTransferWorker()),
      m_bridge(std::make_shared<ProgressWindowBridge>(this)) {
    setWindowTitle(QStringLiteral("Sending Title"));
    setModal(false);
    auto* grid = new QGridLayout(this);
    m_titleInfo = AddValue(grid, 0, "Title:", "titleInfo");
    m_status = AddValue(grid, 1, "Status:", "status");
    m_fileProgress = AddBar(grid, 2, "fileProgress", m_filePercent, "filePercent");
    m_total = AddValue(grid, 3, "Total:", "total");
    m_jobProgress = AddBar(grid, 4, "jobProgress", m_jobPercent, "jobPercent");
    m_cancel = new QPushButton(QStringLiteral("Cancel"));
    m_cancel->setObjectName("cancel");
    grid->addWidget(m_cancel, 5, 2);
    connect(m_cancel, &QPushButton::clicked, this, &CLXProgressDlg::OnCancel);
}

CLXProgressDlg::~CLXProgressDlg() { m_bridge->Detach(); }

void CLXProgressDlg::ResetProgress() {
    m_counter.Reset();
    m_errorShown = false;
    m_finished = false;
    for (QLabel* label : {m_titleInfo, m_status, m_total, m_filePercent, m_jobPercent}) {
        label->clear();
    }
    m_cancel->setEnabled(true);
}

void CLXProgressDlg::StartSendJob(std::vector<std::string> files, QObject* notifyWindow) {
    m_notifyWindow = notifyWindow;
    ResetProgress();
    m_fetchMode = false;
    m_job = m_jobs->StartSend(std::move(files), kDialogTransferOption, m_bridge);
    show();
}

void CLXProgressDlg::StartSendOne(const std::string& file, QObject* notifyWindow) {
    StartSendJob({file}, notifyWindow);
}

std::shared_ptr<CLXTransferJob> CLXProgressDlg::StartFetchJob(std::vector<std::string> remoteNames,
                                                              std::vector<std::string> localPaths,
                                                              QObject* notifyWindow) {
    m_notifyWindow = notifyWindow;
    ResetProgress();
    m_fetchMode = true;
    setWindowTitle(toQString(LXString(372)));
    m_job = m_jobs->StartFetch(std::move(remoteNames), std::move(localPaths), kDialogTransferOption,
                               m_bridge);
    show();
    return m_job;
}

int CLXProgressDlg::OnTransferProgress(std::unique_ptr<CLXTransfer> record) {
    if (m_finished) return 0;
    const lumo::ProgressReport report{record->total, record->done, record->FileIndex(),
                                      record->FileCount(), m_job ? m_job->Size() : 0};
    const lumo::ProgressTexts texts = m_counter.Report(report, lumo::ProgressCounter::Clock::now());
    m_status->setText(toQString(texts.status));
    if (texts.filePercent) {
        m_fileProgress->setValue(*texts.filePercent);
        m_filePercent->setText(QString::number(*texts.filePercent) + '%');
    }
    if (texts.jobPercent) {
        m_jobProgress->setValue(*texts.jobPercent);
        m_jobPercent->setText(QString::number(*texts.jobPercent) + '%');
    } else {
        m_jobPercent->clear();
    }
    m_total->setText(toQString(texts.total));
    m_titleInfo->setText(toQString(record->Description()));

    const EB_ERR_STATUS error = record->EbError();
    if (error == EB_ERR_SUCCESS) {
        if (record->IsComplete()) Finish(kDoneFinished);
        return 0;
    }
    if (error == EB_ERR_OPERATION_CANCELLED) return -2;
    if (!m_errorShown) {
        m_errorShown = true;
        ShowTransferError(error);
    }
    // A fetch job ends by itself at its first failure; its end closes the dialog.
    OnCancel();
    return -1;
}

void CLXProgressDlg::OnJobEnded(EB_ERR_STATUS result) {
    if (m_finished) return;
    if (result != EB_ERR_SUCCESS && result != EB_ERR_OPERATION_CANCELLED && !m_errorShown) {
        m_errorShown = true;
        ShowTransferError(result);
    }
    Finish(result == EB_ERR_SUCCESS ? kDoneFinished : kDoneCancelled);
}

void CLXProgressDlg::OnCancel() {
    if (m_fetchMode || m_finished) return;
    m_cancel->setEnabled(false);
    m_jobs->CancelJob(m_job);
    Finish(kDoneCancelled);
}

void CLXProgressDlg::Finish(int doneCode) {
    if (m_finished) return;
    m_finished = true;
    if (m_notifyWindow) postAppMessage(m_notifyWindow, WM_APP_TRANSFER_DONE, doneCode);
    hide();
    deleteLater();
}

void CLXProgressDlg::ShowTransferError(EB_ERR_STATUS error) {
    QMessageBox::warning(this, QString::fromLatin1(CLumoConnect::GetEbErrMsg(error)),
                         QStringLiteral("Error while transferring file.  Your eBook may be full.  "
                                        "Delete old titles to free memory space."));
}

bool CLXProgressDlg::event(QEvent* event) {
    const auto type = static_cast<unsigned>(event->type());
    if (type == WM_APP_TRANSFER_PROGRESS) {
        auto* payload =
            dynamic_cast<TransferProgressPayload*>(static_cast<AppMessageEvent*>(event)->payload());
        if (payload != nullptr && payload->record) OnTransferProgress(std::move(payload->record));
        return true;
    }
    if (type == WM_APP_TRANSFER_JOB_ENDED) {
        OnJobEnded(static_cast<EB_ERR_STATUS>(static_cast<AppMessageEvent*>(event)->wParam()));
        return true;
    }
    return QDialog::event(event);
}

void CLXProgressDlg::reject() { OnCancel(); }

void CLXProgressDlg::closeEvent(QCloseEvent* event) {
    // Closing the window while the job runs only hides it: the job's end still reaches the
    // window that started it.
    event->ignore();
    hide();
}
