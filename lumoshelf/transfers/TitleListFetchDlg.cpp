#include "transfers/TitleListFetchDlg.h"

#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include "transfers/TransferWorker.h"

namespace {
constexpr int kFetchFailed = 1073;
}

TitleListFetchDlg::TitleListFetchDlg(QWidget* parent, CLXTransferWorker& worker, std::string path)
    : QDialog(parent), m_worker(worker), m_path(std::move(path)) {
    setWindowTitle(QStringLiteral("Uploading Title Information"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral(
        "Retrieving title information from your Lumo eBook - please be patient...")));
    // The dialog is on the screen before the fetch starts.
    QTimer::singleShot(500, this, &TitleListFetchDlg::StartFetch);
}

TitleListFetchDlg::~TitleListFetchDlg() {
    if (m_fetch.joinable()) m_fetch.join();
}

void TitleListFetchDlg::StartFetch() {
    if (m_path.empty()) {
        done(kFetchFailed);
        return;
    }
    m_fetch = std::thread([this] {
        const int result = m_worker.FetchFile("__TITLES", m_path, 0, nullptr, "List of Titles", 0,
                                              1, lumo::kContextTitleList);
        QMetaObject::invokeMethod(
            this, [this, result] { done(result == EB_ERR_SUCCESS ? 0 : kFetchFailed); },
            Qt::QueuedConnection);
    });
}
