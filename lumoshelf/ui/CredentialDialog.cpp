#include "ui/CredentialDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

CredentialDialog::CredentialDialog(const QString& url, QWidget* parent)
    : QDialog(parent), user_(new QLineEdit(this)), password_(new QLineEdit(this)) {
    setWindowTitle(tr("Log in"));
    password_->setEchoMode(QLineEdit::Password);
    auto* prompt =
        new QLabel(tr("The server asks for a user name and password for\n%1").arg(url), this);
    prompt->setTextFormat(Qt::PlainText);
    auto* form = new QFormLayout;
    form->addRow(tr("&User name:"), user_);
    form->addRow(tr("&Password:"), password_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

QString CredentialDialog::user() const { return user_->text(); }
QString CredentialDialog::password() const { return password_->text(); }
