#include "ui/UiStrings.h"

#include <QRegularExpression>

#include "library/StringTable.h"
#include "ui/TextConversion.h"

namespace {

QString fillFirstPlaceholder(QString pattern, const QString& value) {
    static const QRegularExpression placeholder(QStringLiteral("%[du]"));
    const QRegularExpressionMatch match = placeholder.match(pattern);
    if (match.hasMatch()) pattern.replace(match.capturedStart(), match.capturedLength(), value);
    return pattern;
}

}  // namespace

QString uiString(unsigned id) { return toQString(LXString(id)); }

QString uiStringWithNumber(unsigned id, long long number) {
    return fillFirstPlaceholder(uiString(id), QString::number(number));
}

QString uiMessage(unsigned id) { return toQString(MessageText(id)); }
