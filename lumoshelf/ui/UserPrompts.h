#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

// How the program tells the user something or asks a yes/no question. The windows show message
// boxes; tests record what would have been shown and give scripted answers.
class UserPrompts {
public:
    enum class Icon { Information, Exclamation, Stop, None };
    virtual ~UserPrompts() = default;
    virtual void tell(const QString& title, const QString& text, Icon icon) = 0;
    virtual bool ask(const QString& title, const QString& text) = 0;
};

// Message boxes over a parent window (none until the main window exists).
class DialogPrompts : public UserPrompts {
public:
    void setParent(QWidget* parent) { parent_ = parent; }
    void tell(const QString& title, const QString& text, Icon icon) override;
    bool ask(const QString& title, const QString& text) override;

private:
    QPointer<QWidget> parent_;
};

// The program's name, the title of message boxes that have no title of their own.
QString programName();
