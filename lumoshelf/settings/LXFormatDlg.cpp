#include "settings/LXFormatDlg.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

#include "library/AppMessages.h"
#include "library/StringTable.h"
#include "transfers/LXProgressDlg.h"
#include "transfers/TransferWorker.h"
#include "ui/TextConversion.h"
#include "ui/UserPrompts.h"

namespace {

constexpr unsigned kConfirmationWord = 373;

QLabel* Line(const QString& text) {
    auto* label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

}  // namespace

CLXFormatDlg::CLXFormatDlg(QWidget* parent, CLXTransferWorker& worker, UserPrompts& prompts)
    : QDialog(parent),
      m_worker(worker),
      m_prompts(prompts),
      m_confirmation(new QLineEdit),
      m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel)) {
    setWindowTitle(QStringLiteral("Format Lumo eBook"));
    setModal(true);
    m_confirmation->setObjectName("confirmation");
    m_confirmation->setMaximumWidth(80);

    auto* icon = new QLabel;
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    auto* instruction = Line(QStringLiteral("To format your Lumo eBook, enter \"%1\" in the edit "
                                            "box then press the \"OK\" button.")
                                 .arg(toQString(LXString(kConfirmationWord))));
    instruction->setObjectName("instruction");

    auto* grid = new QGridLayout(this);
    grid->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(Line(QStringLiteral("***Warning*** ")), 0, 1);
    grid->addWidget(Line(QStringLiteral("All content on your Lumo eBook will be lost!!")), 1, 1);
    grid->addWidget(instruction, 2, 1);
    grid->addWidget(
        Line(QStringLiteral("When formatting is complete, you will have to reinstall the "
                            "LumoEngine.")),
        3, 1);
    grid->addWidget(m_confirmation, 4, 1);
    grid->addWidget(m_buttons, 5, 0, 1, 2);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &CLXFormatDlg::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &CLXFormatDlg::reject);
}

void CLXFormatDlg::accept() {
    if (m_sending) return;
    if (m_confirmation->text() != toQString(LXString(kConfirmationWord))) {
        ShowError(QStringLiteral("You must enter the correct confirmation."));
        return;
    }
    if (!WriteFormatCommand()) {
        ShowError(QStringLiteral("Error trying to format your Lumo eBook"));
        return;
    }
    // One format per opening: the dialog now only waits for the job's end.
    m_sending = true;
    m_buttons->setEnabled(false);
    m_confirmation->setEnabled(false);
    auto* progress = new CLXProgressDlg(this, &m_worker);
    progress->StartSendJob({m_worker.GetCmds()->GetPath()}, this);
}

bool CLXFormatDlg::WriteFormatCommand() {
    CLumoCmd& cmd = *m_worker.GetCmds();
    cmd.ReOpen();
    std::string version;
    std::string identifier;
    const bool known = m_worker.GetVersionAndId(version, identifier) == EB_ERR_SUCCESS;
    if (known) cmd.InitDir(identifier.c_str());
    cmd.Close();
    return known && !cmd.WriteFailed();
}

void CLXFormatDlg::reject() {
    // While the format is sent, only the progress dialog's Cancel ends it.
    if (!m_sending) QDialog::reject();
}

bool CLXFormatDlg::event(QEvent* event) {
    if (static_cast<unsigned>(event->type()) == WM_APP_TRANSFER_DONE) {
        m_sending = false;
        QDialog::accept();
        return true;
    }
    return QDialog::event(event);
}

void CLXFormatDlg::ShowError(const QString& text) {
    m_prompts.tell(programName(), text, UserPrompts::Icon::Stop);
}
