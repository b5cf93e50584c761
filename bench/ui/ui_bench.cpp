// Times the window on a large library: start-up to a filled, visible window, a keystroke in the
// keyword search until the list is repainted, and a sort by title. Runs offscreen unless
// QT_QPA_PLATFORM says otherwise. Run: lumoshelf_ui_bench [cards] (default 10000).
#include <unistd.h>

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "library/FileUtil.h"
#include "library/LibraryFile.h"
#include "library/SettingsStore.h"
#include "ui/LibListView.h"
#include "ui/MainWindow.h"
#include "ui/ProgramSession.h"
#include "ui/SearchPanel.h"
#include "ui/TextConversion.h"
#include "ui/TitleListModel.h"
#include "ui/UserPrompts.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

class PrintedPrompts : public UserPrompts {
public:
    void tell(const QString&, const QString& text, Icon) override {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
    bool ask(const QString&, const QString&) override { return false; }
};

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void report(const char* what, double value, double limit) {
    std::printf("%-52s %9.1f ms (target < %g ms) %s\n", what, value, limit,
                value < limit ? "ok" : "OVER");
}

void addCategory(CLXCategoryList& list, unsigned nameId, const char* id) {
    CLXCategory category;
    category.InitCategory(std::nullopt, nameId, std::string(id), true);
    CLXCategoryListNode* node = nullptr;
    AddCategory(list, category, node);
}

void writeLibrary(const fs::path& libraryPath, const fs::path& bookDir, int cards) {
    LibraryContents contents;
    addCategory(contents.categories, 358, kAllCategoryId);
    addCategory(contents.categories, 359, kUnfiledCategoryId);
    addCategory(contents.categories, 360, kNewCategoryId);
    std::vector<std::string> genreIds;
    for (int g = 0; g < 30; ++g) {
        CLXCategoryListNode* node = nullptr;
        FindOrCreateByName(contents.categories, "Genre " + std::to_string(g), node);
        genreIds.push_back(node->category.id);
    }
    const char* words[] = {"River", "Garden", "Winter", "Letters", "Harbour", "Silent", "Map"};
    for (int i = 0; i < cards; ++i) {
        CLXCard card;
        const std::string n = std::to_string(i);
        card.title = std::string(words[i % 7]) + " " + words[(i / 7) % 7] + " Volume " + n;
        card.author = "Author " + std::to_string(i % 900);
        card.username = "owner" + std::to_string(i % 40);
        card.url = "ebook:title-" + n;
        card.pubName = "Publisher " + std::to_string(i % 120);
        card.genre = "Genre " + std::to_string(i % 30);
        card.storedPath = (bookDir / card.username / ("title-" + n + ".lx")).string();
        card.fileSize = 50000 + static_cast<std::uint32_t>(i * 37 % 900000);
        card.type = CARD_EDITION;
        card.onReader = i % 9 == 0;
        card.categories = {genreIds[static_cast<size_t>(i % 30)], kNewCategoryId};
        contents.cards.push_back(std::move(card));
    }
    lumo::WriteFileAtomically(libraryPath.string(), StoreLibrary(contents));
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int cards = argc > 1 ? std::atoi(argv[1]) : 10000;
    std::string pattern = (fs::temp_directory_path() / "ui-bench-XXXXXX").string();
    const fs::path root = ::mkdtemp(pattern.data());
    const fs::path libraryDir = root / "lib";
    fs::create_directories(libraryDir / "Books");
    CLXSettingsStore settings((root / "settings.ini").string());
    settings.WriteString(libraryDir.string(), "Data Locations", "LibraryDir");
    settings.WriteString("library.lxl", "Data Locations", "LibraryFile");
    settings.WriteString((libraryDir / "Books").string(), "Data Locations", "BookDir");
    settings.WriteString("COM1", "DataComm", "ComPort");
    writeLibrary(libraryDir / "library.lxl", libraryDir / "Books", cards);
    std::printf("library of %d cards, %.1f MB\n", cards,
                double(fs::file_size(libraryDir / "library.lxl")) / 1e6);

    // From the application object on, as a start of the program would go.
    const Clock::time_point startup = Clock::now();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    PrintedPrompts prompts;
    ProgramSession session(prompts);
    ProgramSession::Options options;
    options.settingsPath = toQString(settings.Path());
    if (session.start(options) != ProgramSession::Outcome::Running) return 1;
    MainWindow& window = *session.window();
    QApplication::processEvents();
    window.grab();
    const double startupMs = millisecondsSince(startup);
    const int shown = window.listView().titleModel().rowCount();

    std::vector<double> keystrokes;
    const QString typed = QStringLiteral("garden winter 12");
    QLineEdit* keywords = window.searchPanel().keywordEdit();
    for (int length = 1; length <= typed.size(); ++length) {
        const Clock::time_point key = Clock::now();
        keywords->setText(typed.left(length));
        QApplication::processEvents();
        window.listView().viewport()->repaint();
        keystrokes.push_back(millisecondsSince(key));
    }
    const int matching = window.listView().titleModel().rowCount();
    keywords->clear();
    QApplication::processEvents();

    const Clock::time_point sort = Clock::now();
    emit window.listView().header()->sectionClicked(TitleListModel::AuthorColumn);
    window.listView().viewport()->repaint();
    const double sortMs = millisecondsSince(sort);

    std::printf("rows shown at start: %d; rows matching \"%s\": %d\n", shown, qPrintable(typed),
                matching);
    report("start-up to a filled, visible window", startupMs, 1500);
    report("keystroke in the keyword search (median)", median(keystrokes), 100);
    report("keystroke in the keyword search (slowest)",
           *std::max_element(keystrokes.begin(), keystrokes.end()), 100);
    report("sort by author (heading click)", sortMs, 100);

    window.close();
    std::error_code error;
    fs::remove_all(root, error);
    return 0;
}
