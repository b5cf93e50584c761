#pragma once

#include <QDialog>

class QLineEdit;

// Asks for the user name and password a web server wants before it hands out a page.
class CredentialDialog : public QDialog {
    Q_OBJECT
public:
    explicit CredentialDialog(const QString& url, QWidget* parent = nullptr);

    QString user() const;
    QString password() const;
    QLineEdit& userEdit() const { return *user_; }
    QLineEdit& passwordEdit() const { return *password_; }

private:
    QLineEdit* user_;
    QLineEdit* password_;
};
