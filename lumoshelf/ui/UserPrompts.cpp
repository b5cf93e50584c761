#include "ui/UserPrompts.h"

#include <QMessageBox>

namespace {

QMessageBox::Icon boxIcon(UserPrompts::Icon icon) {
    switch (icon) {
        case UserPrompts::Icon::Information:
            return QMessageBox::Information;
        case UserPrompts::Icon::Exclamation:
            return QMessageBox::Warning;
        case UserPrompts::Icon::Stop:
            return QMessageBox::Critical;
        case UserPrompts::Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

QString programName() { return QStringLiteral("lumoshelf"); }

void DialogPrompts::tell(const QString& title, const QString& text, Icon icon) {
    QMessageBox box(boxIcon(icon), title.isEmpty() ? programName() : title, text, QMessageBox::Ok,
                    parent_);
    box.exec();
}

bool DialogPrompts::ask(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Question, title.isEmpty() ? programName() : title, text,
                    QMessageBox::Yes | QMessageBox::No, parent_);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}
