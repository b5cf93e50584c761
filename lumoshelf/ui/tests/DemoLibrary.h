#pragma once

#include <QDir>
#include <QTemporaryDir>
#include <string>

#include "library/SettingsStore.h"
#include "lumowriter/EditionPacker.h"
#include "ui/TextConversion.h"

// A private library folder with its own settings file: the library folder "lib" with "Books"
// and "AutoAdd", and a serial port set so that start-up asks nothing.
class DemoLibrary {
public:
    DemoLibrary() : settings(toBytes(folder.filePath("settings.ini"))) {
        QDir(folder.path()).mkpath("lib/Books");
        QDir(folder.path()).mkpath("lib/AutoAdd");
        settings.WriteString(toBytes(libraryDir()), "Data Locations", "LibraryDir");
        settings.WriteString("library.lxl", "Data Locations", "LibraryFile");
        settings.WriteString(toBytes(libraryDir() + "/Books"), "Data Locations", "BookDir");
        settings.WriteString(toBytes(autoAddDir()), "Data Locations", "AutoAddDir");
        settings.WriteString("COM1", "DataComm", "ComPort");
    }

    QString settingsPath() const { return folder.filePath("settings.ini"); }
    QString libraryDir() const { return folder.filePath("lib"); }
    QString autoAddDir() const { return folder.filePath("lib/AutoAdd"); }
    QString path(const QString& name) const { return folder.filePath(name); }

    // Writes an edition; page pads the file to roughly that many bytes.
    QString edition(const QString& path, const std::string& title, const std::string& author,
                    const std::string& owner = "alice", const std::string& genre = "Fiction",
                    size_t page = 64) const {
        lumowriter::EditionLayout layout;
        layout.info = {{"Title", title},
                       {"Author", author},
                       {"username", owner},
                       {"url", "ebook:" + title + "-" + owner},
                       {"genre", genre}};
        layout.contents.push_back({"page1.html", std::string(page, 'x')});
        std::string error;
        QDir().mkpath(QFileInfo(path).absolutePath());
        lumowriter::WriteEdition(layout, toBytes(path), error);
        return path;
    }

    QTemporaryDir folder;
    CLXSettingsStore settings;
};
