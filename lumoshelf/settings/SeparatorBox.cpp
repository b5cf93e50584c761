#include "settings/SeparatorBox.h"

#include <QLineEdit>
#include <QRegularExpressionValidator>

QLineEdit* NewSeparatorBox(const char* objectName) {
    auto* box = new QLineEdit;
    box->setObjectName(objectName);
    box->setMaxLength(1);
    box->setMaximumWidth(40);
    box->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[ !#-<>-~]?")), box));
    return box;
}

char SeparatorOf(const QLineEdit& box, char fallback) {
    const QString text = box.text();
    return text.isEmpty() ? fallback : text.at(0).toLatin1();
}

QString SeparatorText(char separator) {
    return separator >= ' ' && separator <= '~' ? QString(QChar(separator)) : QString();
}
