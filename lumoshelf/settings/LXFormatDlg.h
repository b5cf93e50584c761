#pragma once

#include <QDialog>

class CLXTransferWorker;
class QDialogButtonBox;
class QLineEdit;
class UserPrompts;

// "Format Lumo eBook": formatting erases everything on the reader, so the user types the
// confirmation word before OK sends the reader the command file that formats it. The dialog
// stays open under the transfer's progress dialog until the job is over.
class CLXFormatDlg : public QDialog {
    Q_OBJECT
public:
    CLXFormatDlg(QWidget* parent, CLXTransferWorker& worker, UserPrompts& prompts);

    void accept() override;
    void reject() override;

protected:
    bool event(QEvent* event) override;

private:
    // The command file holding the directory initialisation with the reader's identifier;
    // false when the identifier cannot be read or the file not written.
    bool WriteFormatCommand();
    void ShowError(const QString& text);

    CLXTransferWorker& m_worker;
    UserPrompts& m_prompts;
    QLineEdit* m_confirmation;
    QDialogButtonBox* m_buttons;
    bool m_sending = false;
};
