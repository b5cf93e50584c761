#pragma once

#include <QString>

// A string-table entry as a QString, and its printf-style "%d"/"%u"/"%s" filled in.
QString uiString(unsigned id);
QString uiStringWithNumber(unsigned id, long long number);
QString uiStringWithText(unsigned id, const QString& text);

// The text a message box shows for an entry (falls back to the "unknown error" text).
QString uiMessage(unsigned id);
