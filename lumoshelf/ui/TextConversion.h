#pragma once

#include <QString>
#include <string>

// Texts from the core are bytes. Files written by this program hold UTF-8; files made by older
// programs hold Windows-1252, which is what bytes that are not valid UTF-8 are read as.
QString toQString(const std::string& bytes);

// Texts typed by the user go to the core as UTF-8.
std::string toBytes(const QString& text);
