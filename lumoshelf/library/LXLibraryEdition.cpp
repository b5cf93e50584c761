// Turning documents into editions: the command-line file, the job file, the build in the
// self-publishing folder and adding what was built.
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "library/EditionInterfaces.h"
#include "library/FileUtil.h"
#include "library/LXCategory.h"
#include "library/LXLibraryDoc.h"
#include "library/SettingsStore.h"
#include "library/StringTable.h"

namespace fs = std::filesystem;

namespace {

constexpr unsigned kCreateTitleFailed = 61514;
constexpr unsigned kCreateTitleCaption = 61515;
constexpr unsigned kSourceHasFrames = 61517;
constexpr unsigned kSourceNotFound = 61518;
constexpr int kBusyCounterWrap = 100;

const char* const kPageExtensions[] = {".htm", ".shtml", ".asp", ".stm", ".cgi", nullptr};

// What the converter's callbacks reach through their context pointer.
struct BuildContext {
    ILXEditionUI* ui = nullptr;
    IEditionProgress* progress = nullptr;
    int busyCounter = 0;
};

void onProgress(const LumoEBookProgress* record, void* context) {
    auto* build = static_cast<BuildContext*>(context);
    if (!build->progress || !record) return;
    if (record->position >= 1) {
        build->progress->ShowPosition(record->range, record->position);
    } else {
        build->busyCounter = (build->busyCounter + 1) % kBusyCounterWrap;
        build->progress->ShowBusy(build->busyCounter);
    }
    if (record->status) build->progress->SetText(record->status);
}

void onStatus(const char* text, void* context) {
    auto* build = static_cast<BuildContext*>(context);
    if (build->progress && text) build->progress->SetStatusText(text);
}

int onCredentials(const char* url, char** user, char** password, void* context) {
    auto* build = static_cast<BuildContext*>(context);
    std::string givenUser, givenPassword;
    if (!build->ui || !build->ui->AskCredentials(url ? url : "", givenUser, givenPassword))
        return 0;
    *user = strdup(givenUser.c_str());
    *password = strdup(givenPassword.c_str());
    return 1;
}

// Clears the busy flag on every way out of a build.
class BusyFlag {
public:
    explicit BusyFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~BusyFlag() { flag_ = false; }
    BusyFlag(const BusyFlag&) = delete;
    BusyFlag& operator=(const BusyFlag&) = delete;

private:
    bool& flag_;
};

}  // namespace

void CLXLibraryDoc::SetEditionUI(ILXEditionUI* editionUi, std::string productVersion) {
    editionUi_ = editionUi;
    productVersion_ = std::move(productVersion);
}

int CLXLibraryDoc::OpenCommandLineFile(const std::string& path, bool notify) {
    const std::string extension = lumo::LowerExtension(path);
    if (extension == ".lx" || extension == ".lff") return AddTitleFromFile(path, notify);
    return buildDocument(path, notify);
}

int CLXLibraryDoc::buildDocument(const std::string& path, bool notify) {
    // Refused before the dialog: a build is running, so nothing chosen now could be built.
    if (buildBusy_) {
        showBuildError(kCreateTitleFailed);
        return 0;
    }
    EditionJob job;
    std::error_code error;
    std::string base = fs::current_path(error).string();
    if (lumo::LowerExtension(path) == ".laf") {
        std::optional<EditionJob> read = ReadEditionJobFile(path);
        if (!read) {
            showBuildError(kSourceNotFound);
            return 0;
        }
        job = *read;
        // A job file names its document relative to where it lies.
        base = fs::absolute(path, error).parent_path().string();
    } else {
        job.choices.source = path;
    }
    job.choices.source = EditionSourceUrl(job.choices.source, base);
    if (job.confirm && editionUi_) {
        if (!editionUi_->EditEdition(job.choices)) return 1;
        // The user may have typed a path in place of the URL.
        job.choices.source = EditionSourceUrl(job.choices.source, base);
    }
    return MakeEdition(job, notify);
}

void CLXLibraryDoc::showBuildError(unsigned message) {
    ui_.ShowMessage(LXString(kCreateTitleCaption), MessageText(message), ILXLibraryUI::Icon::Stop);
}

int CLXLibraryDoc::MakeEdition(const EditionJob& job, bool notify) {
    if (buildBusy_) {
        showBuildError(kCreateTitleFailed);
        return 0;
    }
    std::string folder;
    if (!settings_.ReadString("Data Locations", "SelfPublishingDir", folder)) return 0;
    std::error_code error;
    if (!fs::exists(fs::symlink_status(folder, error))) fs::create_directories(folder, error);
    // Only a real folder is emptied: a link or a file in its place could take other files along.
    if (!fs::is_directory(fs::symlink_status(folder, error)) || !EmptyWorkFolder(folder)) {
        showBuildError(kCreateTitleFailed);
        return 0;
    }

    std::uint32_t counter = 0;
    settings_.ReadNumber("SelfPublishing", "Counter", counter);
    const std::string name = EditionOutputName(counter);
    const std::string output = (fs::path(folder) / name).string();
    const int result = runConverter(job, folder, name);

    int added = 0;
    if (result == LUMOEBOOK_OK) {
        added = AddTitleFromFile(output, notify);
        settings_.WriteNumber(counter + 1, "SelfPublishing", "Counter");
    } else {
        showBuildError(result == LUMOEBOOK_FRAMES      ? kSourceHasFrames
                       : result == LUMOEBOOK_NOT_FOUND ? kSourceNotFound
                                                       : kCreateTitleFailed);
    }
    // Whatever became of the build, nothing half-made stays behind: the library holds its own
    // copy of an added title.
    fs::remove(output, error);
    return added;
}

int CLXLibraryDoc::runConverter(const EditionJob& job, const std::string& folder,
                                const std::string& name) {
    const std::string identifier = NewCategoryId();
    const std::string generator = "lumoshelf " + productVersion_;
    const std::string proxy = EditionProxyText(settings_);
    const EditionChoices& choices = job.choices;

    BusyFlag busy(buildBusy_);
    BuildContext context;
    context.ui = editionUi_;
    std::unique_ptr<IEditionProgress> progress =
        editionUi_ ? editionUi_->OpenBuildProgress() : nullptr;
    context.progress = progress.get();
    return converter_(choices.source.c_str(), nullptr, nullptr, nullptr, name.c_str(),
                      choices.author.c_str(), choices.title.c_str(), generator.c_str(),
                      identifier.c_str(), folder.c_str(), proxy.c_str(), kPageExtensions,
                      choices.subExpression.c_str(), job.ConverterOptions(), choices.levels,
                      onProgress, onStatus, onCredentials, &context);
}
