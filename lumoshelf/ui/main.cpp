#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <cstdio>

#include "library/SettingsPaths.h"
#include "settings/ReaderSettingsCommand.h"
#include "transfers/ReaderWindowLink.h"
#include "transfers/TransferWorker.h"
#include "ui/MainWindow.h"
#include "ui/ProgramSession.h"
#include "ui/SingleInstance.h"
#include "ui/StartupSettings.h"
#include "ui/TextConversion.h"
#include "ui/UserPrompts.h"

namespace {

// The string tables for other languages: $LUMOSHELF_DATA_DIR, else the installed share folder.
QString dataFolder() {
    const QString configured = qEnvironmentVariable("LUMOSHELF_DATA_DIR");
    if (!configured.isEmpty()) return configured;
    return QDir(QCoreApplication::applicationDirPath()).absoluteFilePath("../share/lumoshelf");
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication::setApplicationName(programName());
    QCoreApplication::setApplicationVersion(toQString(ProductVersion()));

    // Parsed before the window system is reached, so that --help works without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    parser.setApplicationDescription(QObject::tr(
        "A library manager for the Lumo eBook. With FILE, an edition (.lx) or reader software "
        "(.lff) is added to the library; a running lumoshelf is handed the file. The settings "
        "file is $LUMOSHELF_SETTINGS, else $XDG_CONFIG_HOME/lumoshelf/settings.ini."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QObject::tr("FILE"), QObject::tr("A file to add to the library."),
                                 QObject::tr("[FILE]"));
    if (!parser.parse(arguments)) {
        std::fprintf(stderr, "%s\n", qPrintable(parser.errorText()));
        return 2;
    }
    if (parser.isSet(help)) {
        std::fputs(qPrintable(parser.helpText().replace("<executable_name>", programName())),
                   stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("%s %s\n", qPrintable(programName()), ProductVersion().c_str());
        return 0;
    }

    QApplication app(argc, argv);
    QApplication::setDesktopFileName(QStringLiteral("lumoshelf"));

    ProgramSession::Options options;
    options.settingsPath = toQString(DefaultSettingsPath());
    options.dataFolder = dataFolder();
    if (!parser.positionalArguments().isEmpty())
        options.commandLineFile =
            absoluteCommandLinePath(parser.positionalArguments().front(), QDir::currentPath());

    DialogPrompts prompts;
    ProgramSession session(prompts);
    ReaderWindowLink reader(toBytes(options.settingsPath), session.readerHooks());
    switch (session.start(options)) {
        case ProgramSession::Outcome::HandedOver:
            return 0;
        case ProgramSession::Outcome::Stopped:
            return 1;
        case ProgramSession::Outcome::Running:
            break;
    }
    reader.Attach(*session.window(), *session.document(), prompts);
    ReaderSettingsCommand readerSettings(reader, *GetTransferWorker(),
                                         *session.window()->readerActions().readerSettings,
                                         *session.window(), prompts);
    return app.exec();
}
