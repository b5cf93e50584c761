#pragma once

#include <QString>

class QLineEdit;

// The one-character box for the separator of a time or date format. It takes only the printable
// ASCII characters that the reader's status file can report back ('"' and '=' cut its lines).
QLineEdit* NewSeparatorBox(const char* objectName);

// The box's character, or fallback when it is empty.
char SeparatorOf(const QLineEdit& box, char fallback);

// The text a separator from the reader fills the box with (empty for none).
QString SeparatorText(char separator);
