#pragma once

#include <QString>

// A string-table entry as a QString, and with its printf-style number ("%d", "%u") filled in.
QString uiString(unsigned id);
QString uiStringWithNumber(unsigned id, long long number);

// The text a message box shows for an entry (falls back to the "unknown error" text).
QString uiMessage(unsigned id);
