// device send, device titles, device sync: the reader's transfers through the transfer worker.
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <mutex>
#include <nlohmann/json.hpp>

#include "command_registry.h"
#include "library/LXLibraryDoc.h"
#include "library/ReaderTitleList.h"
#include "library/SettingsPaths.h"
#include "library/SettingsStore.h"
#include "library/StringTable.h"
#include "transfers/LXTransfer.h"
#include "transfers/PrivateTempDir.h"
#include "transfers/ReaderTitlesSync.h"
#include "transfers/TransferWorker.h"

namespace lumoctl {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr auto kConnectTimeout = 30s;

std::string SettingsPathOf(const GlobalOptions& options) {
    return options.settingsFile.empty() ? DefaultSettingsPath() : options.settingsFile;
}

// The worker, connected to the reader, for the length of one command.
class ConnectedWorker {
public:
    explicit ConnectedWorker(const GlobalOptions& options) {
        UseTransferWorkerSettings(SettingsPathOf(options));
        worker_ = GetTransferWorker();
        if (options.logFile && worker_->EnableLogging(options.logFile->c_str()) != EB_ERR_SUCCESS) {
            throw CommandFailure{"cannot write the link log " + *options.logFile};
        }
        const EB_ERR_STATUS result =
            worker_->Connect(options.port ? options.port->c_str() : nullptr,
                             static_cast<BAUD_BITS_MASK>(options.speedMask.value_or(0)));
        if (result != EB_ERR_SUCCESS) {
            throw CommandFailure{std::string("cannot open the serial port: ") +
                                 CLumoConnect::GetEbErrMsg(result)};
        }
        if (!worker_->WaitConnected(kConnectTimeout)) {
            throw CommandFailure{LXString(61500)};
        }
    }
    ~ConnectedWorker() {
        worker_->Disconnect();
        DestroyTransferWorker();
    }
    ConnectedWorker(const ConnectedWorker&) = delete;
    ConnectedWorker& operator=(const ConnectedWorker&) = delete;

    CLXTransferWorker& operator*() const { return *worker_; }
    CLXTransferWorker* operator->() const { return worker_; }

private:
    CLXTransferWorker* worker_ = nullptr;
};

// Prints one line per file as it ends, and waits for the job's end.
class ConsoleProgress : public CLXProgressWindow {
public:
    bool PostTransferProgress(std::unique_ptr<CLXTransfer> copy) override {
        if (!copy->HasEnded() || copy->EbError() != EB_ERR_SUCCESS) return true;
        std::lock_guard lock(mutex_);
        std::cout << "file " << copy->FileIndex() + 1 << " of " << copy->FileCount() << ": "
                  << copy->remoteName;
        if (!copy->Description().empty()) std::cout << " (" << copy->Description() << ")";
        std::cout << ", " << copy->done << " bytes\n";
        return true;
    }
    void PostJobEnded(EB_ERR_STATUS result) override {
        std::lock_guard lock(mutex_);
        result_ = result;
        ended_ = true;
        changed_.notify_all();
    }
    EB_ERR_STATUS Wait() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return ended_; });
        return result_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool ended_ = false;
    EB_ERR_STATUS result_ = EB_ERR_SUCCESS;
};

void FailOnTransferError(EB_ERR_STATUS result, const std::string& what) {
    if (result != EB_ERR_SUCCESS) {
        throw CommandFailure{what + " failed: " + CLumoConnect::GetEbErrMsg(result)};
    }
}

// Fetches "__TITLES" into the private temporary folder and returns its path, converted.
std::string FetchTitleList(CLXTransferWorker& worker) {
    const fs::path path = lumo::PrivateTempDir() / "__TITLES";
    std::error_code ignored;
    fs::remove(path, ignored);
    const int result = worker.FetchFile("__TITLES", path.string(), 0, nullptr, "List of Titles", 0,
                                        1, lumo::kContextTitleList);
    if (result != EB_ERR_SUCCESS) throw CommandFailure{LXString(1073)};
    return path.string();
}

// Without a remote name the files go as one send job; with one, the single file is sent as it
// stands under that name.
void RunSend(const GlobalOptions& options, const std::vector<std::string>& files,
             const std::string& remoteName) {
    for (const std::string& file : files) {
        if (!fs::is_regular_file(file)) {
            throw CommandFailure{"The following title does not exist on your hard disk: " + file};
        }
    }
    if (!remoteName.empty() && files.size() != 1) {
        throw CommandFailure{"--as names the reader's file for exactly one file"};
    }
    ConnectedWorker worker(options);
    auto progress = std::make_shared<ConsoleProgress>();
    if (remoteName.empty()) {
        worker->StartSend(files, 1, progress);
        FailOnTransferError(progress->Wait(), "sending");
        return;
    }
    const int result = worker->SendFile(files.front(), remoteName, 1, LUMO_FILE_TYPE_DEFAULT,
                                        progress, remoteName, 0, 1, 0);
    FailOnTransferError(static_cast<EB_ERR_STATUS>(result), "sending");
}

nlohmann::json TitleEntries(const CLXReaderTitleList& list) {
    static const char* kFields[] = {"filename",     "size", "title",    "author",
                                    "publisher",    "url",  "username", "PERIODICAL_NAME",
                                    "PERIODICAL_ID"};
    int count = 0;
    if (const int error = list.Count(count)) throw CommandFailure{MessageText(error)};
    nlohmann::json titles = nlohmann::json::array();
    for (int i = 0; i < count; ++i) {
        nlohmann::json entry;
        for (const char* field : kFields) {
            std::string value;
            if (list.Field(i, field, value) == 0) entry[field] = value;
        }
        for (std::uint32_t kind = CLXMarkup::Annotation; kind <= CLXMarkup::Note; ++kind) {
            entry[std::string(CLXMarkup::ExtensionOf(kind)).substr(1)] =
                list.HasMarkupKind(i, kind);
        }
        titles.push_back(entry);
    }
    return titles;
}

void RunTitles(const GlobalOptions& options, bool json) {
    ConnectedWorker worker(options);
    const std::string path = FetchTitleList(*worker);
    if (const int error = ConvertReaderTitleList(path)) throw CommandFailure{MessageText(error)};
    CLXReaderTitleList list;
    if (const int error = list.Load(path)) throw CommandFailure{MessageText(error)};
    const nlohmann::json titles = TitleEntries(list);
    if (json) {
        std::cout << titles.dump(2) << '\n';
        return;
    }
    for (const auto& entry : titles) {
        std::cout << entry.value("filename", "") << "  \"" << entry.value("title", "") << "\"  "
                  << entry.value("url", "") << "  markups:" << (entry["la"] ? " la" : "")
                  << (entry["lh"] ? " lh" : "") << (entry["ln"] ? " ln" : "") << '\n';
    }
    std::cout << titles.size() << " titles on the reader\n";
}

class ConsoleLibraryUI : public ILXLibraryUI {
public:
    void ShowMessage(const std::string& caption, const std::string& text, Icon) override {
        std::cerr << caption << ": " << text << '\n';
    }
    bool AskYesNo(const std::string&, const std::string&) override { return false; }
    void UpdateAllViews(int, const CLXCard*) override {}
};

bool AskUploadOnTerminal(const std::string& readerId, bool assumeYes) {
    if (assumeYes) return true;
    if (!isatty(STDIN_FILENO)) return false;
    std::cout << "Do you want to get the TITLE and MARKUP information from the Lumo eBook with "
                 "id:: <"
              << readerId << ">? [y/N] " << std::flush;
    std::string answer;
    std::getline(std::cin, answer);
    return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}

void RunSync(const GlobalOptions& options, bool assumeYes) {
    ConnectedWorker worker(options);
    CLXSettingsStore& settings = worker->Settings();
    tPI_STRING deviceId;
    if (worker->GetStatus()->GetDeviceID(deviceId) != EB_ERR_SUCCESS || deviceId.empty()) {
        throw CommandFailure{"the reader did not give its identifier"};
    }
    const std::string readerId = deviceId.str();
    const bool upload = lumo::ShouldUploadMarkups(
        settings, readerId,
        [assumeYes](const std::string& id, bool&) { return AskUploadOnTerminal(id, assumeYes); });
    if (!upload) {
        std::cout << "titles and markups of reader " << readerId << " not read\n";
        return;
    }

    ConsoleLibraryUI ui;
    CLXLibraryDoc library(settings, ui, &*worker);
    const fs::path libraryPath = fs::path(settings.StringOr("Data Locations", "LibraryDir")) /
                                 settings.StringOr("Data Locations", "LibraryFile");
    if (!library.OnOpenDocument(libraryPath.string()) || library.IsReadOnly()) {
        throw CommandFailure{"cannot open the library " + libraryPath.string()};
    }

    lumo::MarkupFetchList fetch;
    const int error =
        lumo::ProcessReaderTitleList(FetchTitleList(*worker), readerId, library, settings, fetch);
    if (error != 0) throw CommandFailure{MessageText(static_cast<unsigned>(error))};
    int onReader = 0;
    for (int i = 0; i < library.GetCardCount(); ++i) onReader += library.CardAt(i).onReader ? 1 : 0;
    std::cout << onReader << " titles of the library are on reader " << readerId << '\n';

    std::size_t fetched = 0;
    if (!fetch.remoteNames.empty()) {
        auto progress = std::make_shared<ConsoleProgress>();
        auto job = worker->StartFetch(fetch.remoteNames, fetch.localPaths, 1, progress);
        const EB_ERR_STATUS result = progress->Wait();
        fetched = job->SucceededCount();
        if (result != EB_ERR_SUCCESS) {
            std::cerr << "fetching markups stopped: " << CLumoConnect::GetEbErrMsg(result) << '\n';
        }
    }
    const int attached = lumo::AttachFetchedMarkups(library, fetch, fetched);
    library.OnCloseDocument();
    std::cout << fetched << " of " << fetch.remoteNames.size() << " markup files fetched, "
              << attached << " attached to their titles\n";
}

void addTransferCommands(CLI::App& app, const GlobalOptions& options) {
    CLI::App& device = commandGroup(app, "device", "The reader on the serial port");

    auto* send = device.add_subcommand(
        "send",
        "Send files to the reader as one job: editions cut to their length, reader "
        "software packages part by part, markups, fonts and other files as they are");
    auto files = std::make_shared<std::vector<std::string>>();
    send->add_option("files", *files, "Files to send")->required();
    auto remoteName = std::make_shared<std::string>();
    send->add_option("--as", *remoteName,
                     "Send one file as it stands under this name on the reader");
    send->callback([&options, files, remoteName] { RunSend(options, *files, *remoteName); });

    auto* titles = device.add_subcommand(
        "titles", "Print the reader's title list without touching the library");
    auto json = std::make_shared<bool>(false);
    titles->add_flag("--json", *json, "Print the list as JSON");
    titles->callback([&options, json] { RunTitles(options, *json); });

    auto* sync = device.add_subcommand(
        "sync",
        "Read the reader's titles into the library: mark the titles on the reader and "
        "fetch their markups");
    auto yes = std::make_shared<bool>(false);
    sync->add_flag("--yes", *yes, "Answer yes to \"Upload Markups\" for this reader");
    sync->callback([&options, yes] { RunSync(options, *yes); });
}

const CommandRegistration registration(addTransferCommands);

}  // namespace
}  // namespace lumoctl
