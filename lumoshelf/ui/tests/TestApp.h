#pragma once

#include <QApplication>

// The one QApplication of a widget test program, made on first use. It is never destroyed:
// at exit, Qt's own globals may already be gone.
inline QApplication& testApp() {
    static int argc = 1;
    static char name[] = "lumoshelf-tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

#include <QString>
#include <QStringList>
#include <ostream>

// Readable QString values in test failures.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& texts, std::ostream* out) {
    *out << '{' << texts.join(QStringLiteral(" | ")).toStdString() << '}';
}
