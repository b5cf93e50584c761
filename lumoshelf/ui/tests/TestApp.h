#pragma once

#include <QApplication>

// The one QApplication of a widget test program, made on first use.
inline QApplication& testApp() {
    static int argc = 1;
    static char name[] = "lumoshelf-tests";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}
