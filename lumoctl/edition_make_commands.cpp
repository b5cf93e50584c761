// lumoctl edition make: builds an edition from an HTML or text document and adds it to the
// library, as the program does with a document named on its command line.
#include <filesystem>
#include <iostream>
#include <memory>

#include "command_registry.h"
#include "library/EditionInterfaces.h"
#include "library/EditionJob.h"
#include "open_library.h"
#include "ui/StartupSettings.h"

namespace lumoctl {
namespace {

struct MakeOptions {
    std::string source, flags, user, password;
    EditionChoices choices;
    bool quiet = false;
};

// Progress as lines on the error stream.
class ConsoleProgress : public IEditionProgress {
public:
    void ShowPosition(int range, int position) override {
        std::cerr << "page " << position << " of " << range << '\n';
    }
    void ShowBusy(int) override {}
    void SetText(const std::string& text) override {
        if (text != lastText_) std::cerr << text << '\n';
        lastText_ = text;
    }
    void SetStatusText(const std::string&) override {}

private:
    std::string lastText_;
};

// No dialogs: the options are the choices, and the credentials are given once.
class ConsoleEditionUI : public ILXEditionUI {
public:
    explicit ConsoleEditionUI(const MakeOptions& options) : options_(options) {}
    bool EditEdition(EditionChoices&) override { return true; }
    std::unique_ptr<IEditionProgress> OpenBuildProgress() override {
        if (options_.quiet) return nullptr;
        return std::make_unique<ConsoleProgress>();
    }
    bool AskCredentials(const std::string& url, std::string& user, std::string& password) override {
        if (asked_ || options_.user.empty()) {
            std::cerr << url << " asks for credentials"
                      << (asked_ ? " again; the ones given were refused\n" : "; see --user\n");
            return false;
        }
        asked_ = true;
        user = options_.user;
        password = options_.password;
        return true;
    }

private:
    const MakeOptions& options_;
    bool asked_ = false;
};

void makeEdition(const GlobalOptions& global, const MakeOptions& options) {
    OpenLibrary open(global, true);
    WriteStartupDefaults(open.settings);
    ConsoleEditionUI editionUi(options);
    open.doc.SetEditionUI(&editionUi, ProductVersion());

    EditionJob job;
    job.choices = options.choices;
    ApplyEditionFlags(options.flags, job);
    std::error_code error;
    job.choices.source = EditionSourceUrl(options.source, std::filesystem::current_path(error));
    if (open.doc.MakeEdition(job, true) != 1 || open.ui.failures > 0)
        throw CommandFailure{"no title was added"};
}

void addEditionMakeCommand(CLI::App& app, const GlobalOptions& global) {
    CLI::App& edition = commandGroup(app, "edition", "Edition files (.lx): read and make them");
    auto options = std::make_shared<MakeOptions>();
    auto* make = edition.add_subcommand(
        "make", "Build an edition from an HTML or text document and add it to the library");
    make->add_option("SOURCE", options->source,
                     "Local file, file:// URL, or http:// or https:// URL")
        ->required();
    make->add_option("--title", options->choices.title, "Title (else the page's own title)");
    make->add_option("--author", options->choices.author, "Author");
    make->add_flag("--links", options->choices.links, "Follow links to further pages");
    make->add_option("--levels", options->choices.levels, "How many links deep to follow")
        ->check(CLI::Range(0, 99));
    make->add_option("--sub-expression", options->choices.subExpression,
                     "Follow only links whose address matches this regular expression");
    make->add_flag("--images", options->choices.images, "Images wanted");
    make->add_option("--flags", options->flags,
                     "Job file flags: images, noimages, noimagetext, links, nolinks, td, notd");
    make->add_option("--user", options->user, "User name for a server that asks for one");
    make->add_option("--password", options->password, "Password for that user");
    make->add_flag("--quiet", options->quiet, "No progress lines");
    make->callback([&global, options] { makeEdition(global, *options); });
}

const CommandRegistration registration(addEditionMakeCommand);

}  // namespace
}  // namespace lumoctl
