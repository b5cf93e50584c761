#include "ui/ProgramSession.h"

#include <clocale>

#include "library/LXLibraryDoc.h"
#include "library/SettingsPaths.h"
#include "library/SettingsStore.h"
#include "library/StringTable.h"
#include "ui/EditionWindowUi.h"
#include "ui/LibraryWindowUi.h"
#include "ui/MainWindow.h"
#include "ui/SingleInstance.h"
#include "ui/StartupSettings.h"
#include "ui/TextConversion.h"
#include "ui/UiStrings.h"
#include "ui/UserPrompts.h"

ProgramSession::ProgramSession(UserPrompts& prompts) : prompts_(prompts) {}

ProgramSession::~ProgramSession() {
    window_.reset();
    if (document_) document_->OnCloseDocument();
}

ProgramSession::Outcome ProgramSession::start(const Options& options) {
    std::setlocale(LC_ALL, "");
    CLXStringTable::Instance().LoadOverrides(toBytes(options.dataFolder), CurrentLanguageCode());

    instance_ = std::make_unique<SingleInstance>(instanceKey(options.settingsPath));
    switch (instance_->start(options.commandLineFile, options.handOverPatience)) {
        case SingleInstance::Role::HandedOver:
            return Outcome::HandedOver;
        case SingleInstance::Role::Unanswered:
            tellUnanswered(options.commandLineFile);
            return Outcome::Stopped;
        case SingleInstance::Role::Primary:
            break;
    }

    settings_ = std::make_unique<CLXSettingsStore>(toBytes(options.settingsPath));
    WriteInstallDefaults(*settings_);
    WriteStartupDefaults(*settings_);
    profile_ = std::make_unique<CLXSettingsStore>(ProfilePathFor(settings_->Path()));

    const LibraryLocation location = FindLibraryLocation(*settings_);
    if (location.error != 0) {
        prompts_.tell(programName(), uiMessage(location.error), UserPrompts::Icon::Stop);
        return Outcome::Stopped;
    }

    documentUi_ = std::make_unique<LibraryWindowUi>(prompts_);
    document_ =
        std::make_unique<CLXLibraryDoc>(*settings_, *documentUi_, readerHooks_.systemImageSender);
    window_ = std::make_unique<MainWindow>(*document_, *profile_, prompts_, *documentUi_);
    if (auto* dialogs = dynamic_cast<DialogPrompts*>(&prompts_)) dialogs->setParent(window_.get());
    editionUi_ = std::make_unique<EditionWindowUi>();
    editionUi_->setParent(window_.get());
    document_->SetEditionUI(editionUi_.get(), ProductVersion());
    QObject::connect(instance_.get(), &SingleInstance::fileReceived, window_.get(),
                     &MainWindow::openCommandLineFile);
    QObject::connect(instance_.get(), &SingleInstance::raiseRequested, window_.get(),
                     &MainWindow::bringToFront);

    startReaderConnection(*settings_, prompts_, readerHooks_);

    document_->SetPendingFile(toBytes(options.commandLineFile));
    if (!document_->OnOpenDocument(location.libraryPath) && !document_->LastLoadError().empty())
        prompts_.tell(
            programName(),
            QObject::tr("The library %1 could not be opened (%2). It is left as it is, "
                        "and nothing is saved to it in this session.")
                .arg(toQString(location.libraryPath), toQString(document_->LastLoadError())),
            UserPrompts::Icon::Stop);
    window_->showLibrary();
    window_->showFromProfile();
    return Outcome::Running;
}

void ProgramSession::tellUnanswered(const QString& commandLineFile) {
    QString text = QObject::tr("lumoshelf is already running but does not answer.");
    if (!commandLineFile.isEmpty())
        text += "\n\n" + QObject::tr(
                             "The file %1 was not added to your library. Try again when "
                             "lumoshelf has finished what it is doing.")
                             .arg(commandLineFile);
    prompts_.tell(programName(), text, UserPrompts::Icon::Exclamation);
}
