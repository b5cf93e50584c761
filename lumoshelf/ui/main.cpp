#include <QApplication>
#include <QCommandLineParser>
#include <QDir>

#include "library/SettingsPaths.h"
#include "lumo_version.h"
#include "ui/ProgramSession.h"
#include "ui/SingleInstance.h"
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
    QApplication app(argc, argv);
    QApplication::setApplicationName(programName());
    QApplication::setApplicationVersion(QStringLiteral(LUMO_PRODUCT_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("lumoshelf"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QObject::tr(
        "A library manager for the Lumo eBook. With FILE, an edition (.lx) or reader software "
        "(.lff) is added to the library; a running lumoshelf is handed the file. The settings "
        "file is $LUMOSHELF_SETTINGS, else $XDG_CONFIG_HOME/lumoshelf/settings.ini."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QObject::tr("FILE"), QObject::tr("A file to add to the library."),
                                 QObject::tr("[FILE]"));
    parser.process(app);

    ProgramSession::Options options;
    options.settingsPath = toQString(DefaultSettingsPath());
    options.dataFolder = dataFolder();
    if (!parser.positionalArguments().isEmpty())
        options.commandLineFile =
            absoluteCommandLinePath(parser.positionalArguments().front(), QDir::currentPath());

    DialogPrompts prompts;
    ProgramSession session(prompts);
    switch (session.start(options)) {
        case ProgramSession::Outcome::HandedOver:
            return 0;
        case ProgramSession::Outcome::Stopped:
            return 1;
        case ProgramSession::Outcome::Running:
            break;
    }
    return app.exec();
}
