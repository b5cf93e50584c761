#include <gtest/gtest.h>

#include <QApplication>

#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include "TestApp.h"

#include "library/AppMessages.h"
#include "transfers/LXProgressDlg.h"
#include "transfers/LXTransfer.h"
#include "transfers/ProgressWindow.h"
#include "ui/AppMessageEvent.h"

namespace {

// Stands in for the worker: keeps the job and its progress window so a test can report.
class FakeJobs : public CLXJobStarter {
public:
    std::shared_ptr<CLXTransferJob> StartSend(std::vector<std::string> files, std::uint8_t option,
                                              std::shared_ptr<CLXProgressWindow> w) override {
        window = w;
        job = CLXTransferJob::Send(std::move(files), option, w);
        return job;
    }
    std::shared_ptr<CLXTransferJob> StartFetch(std::vector<std::string> names,
                                               std::vector<std::string> paths, std::uint8_t option,
                                               std::shared_ptr<CLXProgressWindow> w) override {
        window = w;
        job = CLXTransferJob::Fetch(std::move(names), std::move(paths), option, w);
        return job;
    }
    void CancelJob(const std::shared_ptr<CLXTransferJob>& cancelled) override {
        cancelled->Cancel();
        ++cancels;
    }

    // Posts a report as the worker's OnProgress does.
    bool Report(int total, int done, int index, int count, bool ended,
                EB_ERR_STATUS error = EB_ERR_SUCCESS, const std::string& description = "Book") {
        auto record = std::make_unique<CLXTransfer>("local", "remote", PPP_CONN_XFER_DIR_SEND, 1,
                                                    LUMO_FILE_TYPE_DEFAULT, 0xF000BAAD, window,
                                                    description, index, count);
        record->total = total;
        record->done = done;
        record->flags = ended ? PPP_XFER_FLAG_ENDED : 0;
        record->SetEbError(error);
        return window->PostTransferProgress(std::move(record));
    }

    std::shared_ptr<CLXProgressWindow> window;
    std::shared_ptr<CLXTransferJob> job;
    int cancels = 0;
};

class DoneRecorder : public QObject {
public:
    bool event(QEvent* event) override {
        if (static_cast<unsigned>(event->type()) != WM_APP_TRANSFER_DONE) {
            return QObject::event(event);
        }
        codes.push_back(static_cast<int>(static_cast<AppMessageEvent*>(event)->wParam()));
        return true;
    }
    std::vector<int> codes;
};

class TestDialog : public CLXProgressDlg {
public:
    using CLXProgressDlg::CLXProgressDlg;
    std::vector<EB_ERR_STATUS> errorsShown;

protected:
    void ShowTransferError(EB_ERR_STATUS error) override { errorsShown.push_back(error); }
};

class ProgressDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        dialog = new TestDialog(nullptr, &jobs);
    }
    void TearDown() override { delete dialog.data(); }

    // Delivers the posted reports, then what they posted in turn, then deferred deletions.
    static void Pump() {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QString Text(const char* name) { return dialog->findChild<QLabel*>(name)->text(); }
    int Bar(const char* name) { return dialog->findChild<QProgressBar*>(name)->value(); }

    FakeJobs jobs;
    DoneRecorder notify;
    QPointer<TestDialog> dialog;
};

TEST_F(ProgressDlgTest, AThreeFileJobEndsWithDoneAfterItsLastFile) {
    dialog->StartSendJob({"/no/a.lx", "/no/b.lx", "/no/c.lx"}, &notify);
    EXPECT_EQ(dialog->windowTitle(), "Sending Title");
    for (int file = 0; file < 3; ++file) {
        jobs.Report(1000, 500, file, 3, false);
        jobs.Report(1000, 1000, file, 3, true);
        Pump();
        if (file < 2) {
            EXPECT_EQ(Text("status").left(13), "1000 of 1000 ");
            EXPECT_EQ(Text("filePercent"), "100%");
            EXPECT_EQ(Bar("fileProgress"), 100);
            EXPECT_EQ(Text("titleInfo"), "Book");
            EXPECT_TRUE(notify.codes.empty());
        }
    }
    EXPECT_EQ(notify.codes, std::vector<int>{0});
    EXPECT_TRUE(dialog.isNull());  // it deleted itself once the job was over
}

TEST_F(ProgressDlgTest, UnknownSizesShowAsUnknown) {
    dialog->StartSendJob({"/no/such/file"}, &notify);
    jobs.Report(0, 2048, 0, 1, false);
    Pump();
    EXPECT_EQ(Text("status"), "2048 of (unknown) at (unknown)KB/sec");
    EXPECT_EQ(Text("filePercent"), "");
    EXPECT_EQ(Text("jobPercent"), "");
    EXPECT_EQ(Text("total"), "2048 of (unknown) bytes, file 1 of 1");
}

TEST_F(ProgressDlgTest, CancelDuringASendPostsCancelledAtOnceAndShowsNoError) {
    dialog->StartSendJob({"/no/a.lx"}, &notify);
    jobs.Report(4096, 2048, 0, 1, false);
    Pump();
    dialog->findChild<QPushButton*>("cancel")->click();
    EXPECT_EQ(jobs.cancels, 1);
    EXPECT_TRUE(jobs.job->IsCancelled());
    Pump();
    EXPECT_EQ(notify.codes, std::vector<int>{17});
    EXPECT_FALSE(jobs.Report(4096, 2048, 0, 1, true, EB_ERR_OPERATION_CANCELLED));
    Pump();
    EXPECT_EQ(notify.codes, std::vector<int>{17});
}

TEST_F(ProgressDlgTest, AnErrorIsShownOnceAndEndsTheSendJob) {
    dialog->StartSendJob({"/no/a.lx", "/no/b.lx"}, &notify);
    jobs.Report(4096, 2048, 0, 2, true, EB_ERR_TIMEOUT);
    jobs.window->PostJobEnded(EB_ERR_TIMEOUT);
    QCoreApplication::sendPostedEvents();
    ASSERT_FALSE(dialog.isNull());
    EXPECT_EQ(dialog->errorsShown, std::vector<EB_ERR_STATUS>{EB_ERR_TIMEOUT});
    EXPECT_EQ(jobs.cancels, 1);
    Pump();
    EXPECT_EQ(notify.codes, std::vector<int>{17});
}

TEST_F(ProgressDlgTest, AJobThatFailsWithoutAnyReportStillEnds) {
    dialog->StartSendJob({"/no/short.lx"}, &notify);
    jobs.window->PostJobEnded(EB_ERR_CANT_ACCESS_LOCAL_FILE);
    QCoreApplication::sendPostedEvents();
    ASSERT_FALSE(dialog.isNull());
    EXPECT_EQ(dialog->errorsShown, std::vector<EB_ERR_STATUS>{EB_ERR_CANT_ACCESS_LOCAL_FILE});
    Pump();
    EXPECT_EQ(notify.codes, std::vector<int>{17});
    EXPECT_TRUE(dialog.isNull());
}

TEST_F(ProgressDlgTest, AFetchJobCannotBeCancelledButEndsAfterAnError) {
    dialog->StartFetchJob({"a.la", "b.lh"}, {"/x/a.la", "/x/b.lh"}, &notify);
    EXPECT_EQ(dialog->windowTitle(), "Retrieving titles and markups");
    dialog->findChild<QPushButton*>("cancel")->click();
    EXPECT_EQ(jobs.cancels, 0);

    jobs.Report(100, 100, 0, 2, true, EB_ERR_SUCCESS, "Markups");
    jobs.Report(0, 0, 1, 2, true, EB_ERR_CANT_ACCESS_REMOTE_FILE, "Markups");
    QCoreApplication::sendPostedEvents();
    ASSERT_FALSE(dialog.isNull());
    EXPECT_EQ(dialog->errorsShown, std::vector<EB_ERR_STATUS>{EB_ERR_CANT_ACCESS_REMOTE_FILE});
    EXPECT_TRUE(notify.codes.empty());

    jobs.window->PostJobEnded(EB_ERR_CANT_ACCESS_REMOTE_FILE);
    QCoreApplication::sendPostedEvents();
    ASSERT_FALSE(dialog.isNull());
    EXPECT_EQ(dialog->errorsShown.size(), 1u);
    Pump();
    EXPECT_EQ(notify.codes, std::vector<int>{17});
}

}  // namespace
