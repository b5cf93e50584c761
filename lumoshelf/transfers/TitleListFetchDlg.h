#pragma once

#include <QDialog>
#include <string>
#include <thread>

class CLXTransferWorker;

// "Uploading Title Information": fetches the reader's title list into path while it is shown.
// exec() returns 0 on success and 1073 when the list could not be fetched.
class TitleListFetchDlg : public QDialog {
    Q_OBJECT
public:
    TitleListFetchDlg(QWidget* parent, CLXTransferWorker& worker, std::string path);
    ~TitleListFetchDlg() override;

protected:
    void reject() override {}

private:
    void StartFetch();

    CLXTransferWorker& m_worker;
    std::string m_path;
    std::thread m_fetch;
};
