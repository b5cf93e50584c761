#pragma once

#include <QIcon>
#include <QString>

// The icon theme's icon of that name; where the desktop has no icon theme, the nearest icon of
// the widget style, so that the tool bar never shows bare text.
QIcon actionIcon(const QString& themeName);
