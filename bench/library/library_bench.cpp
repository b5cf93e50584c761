// Times the library operations that grow with the library: reading and writing the library
// file, a full filter walk, adding one title and importing a folder, and the memory the open
// library takes. Run: library_bench [cards] (default 100000).
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include "library/FileUtil.h"
#include "library/LXLibraryDoc.h"
#include "library/LibraryFile.h"
#include "library/SettingsStore.h"
#include "lumowriter/EditionPacker.h"

namespace fs = std::filesystem;

namespace {

class SilentUI : public ILXLibraryUI {
public:
    void ShowMessage(const std::string&, const std::string& text, Icon) override {
        std::fprintf(stderr, "message: %s\n", text.c_str());
    }
    bool AskYesNo(const std::string&, const std::string&) override { return false; }
    void UpdateAllViews(int, const CLXCard*) override {}
};

double processSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// The wall time of the work; the processor time it took is kept for the report, because on a
// shared machine the wall time also counts the time other programs held the processor.
double lastProcessorSeconds = 0;

template <typename Work>
double timed(Work&& work) {
    const auto start = std::chrono::steady_clock::now();
    const double processorStart = processSeconds();
    work();
    lastProcessorSeconds = processSeconds() - processorStart;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

long residentMegabytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6) / 1024;
    return -1;
}

void report(const char* what, double value, double limit, const char* unit) {
    std::printf("%-48s %9.3f %-3s (target < %g %s) %-4s", what, value, unit, limit, unit,
                value < limit ? "ok" : "OVER");
    const double scale = std::string(unit) == "ms" ? 1000 : 1;
    if (std::string(unit) != "MB")
        std::printf("  processor %.3f %s", lastProcessorSeconds * scale, unit);
    std::printf("\n");
}

std::string makeEdition(const fs::path& path, int number) {
    lumowriter::EditionLayout layout;
    const std::string n = std::to_string(number);
    layout.info = {{"Title", "Imported " + n},
                   {"Author", "Writer " + std::to_string(number % 300)},
                   {"username", "importer"},
                   {"url", "ebook:imported-" + n},
                   {"genre", "Genre " + std::to_string(number % 40)}};
    layout.contents.push_back(
        {"page1.html", "<html><body>" + std::string(2000, 'x') + "</body></html>"});
    std::string bytes, error;
    lumowriter::PackEdition(layout, bytes, error);
    lumo::WriteFileAtomically(path.string(), bytes);
    return path.string();
}

LibraryContents syntheticLibrary(int cards, const fs::path& bookDir) {
    LibraryContents contents;
    contents.cards.reserve(static_cast<size_t>(cards));
    std::vector<std::string> genreIds;
    for (unsigned id : {358u, 359u, 360u}) {
        CLXCategory category;
        category.InitCategory(std::nullopt, id,
                              std::string(id == 358   ? kAllCategoryId
                                          : id == 359 ? kUnfiledCategoryId
                                                      : kNewCategoryId),
                              true);
        CLXCategoryListNode* node = nullptr;
        AddCategory(contents.categories, category, node);
    }
    for (int g = 0; g < 40; ++g) {
        CLXCategoryListNode* node = nullptr;
        FindOrCreateByName(contents.categories, "Genre " + std::to_string(g), node);
        genreIds.push_back(node->category.id);
    }
    for (int i = 0; i < cards; ++i) {
        CLXCard card;
        const std::string n = std::to_string(i);
        card.title = "The Collected Title Number " + n;
        card.author = "Author " + std::to_string(i % 5000);
        card.isbn = "978-" + n;
        card.genre = "Genre " + std::to_string(i % 40);
        card.username = "owner" + std::to_string(i % 100);
        card.url = "ebook:title-" + n;
        card.version = "1";
        card.pubName = "Publisher " + std::to_string(i % 200);
        card.storedPath = (bookDir / card.username / ("title-" + n + ".lx")).string();
        card.sourcePath = "/media/cdrom/titles/title-" + n + ".lx";
        card.presence = 1;
        card.fileSize = 200000 + static_cast<std::uint32_t>(i);
        card.type = CARD_EDITION;
        card.categories = {genreIds[static_cast<size_t>(i % 40)], kNewCategoryId};
        if (i % 10 == 0) {
            CLXMarkup markup;
            markup.SetFromPath((bookDir / "R1" / ("title-" + n + ".la")).string());
            markup.SetReaderId("R1");
            card.markups.push_back(markup);
        }
        contents.cards.push_back(std::move(card));
    }
    return contents;
}

}  // namespace

int main(int argc, char** argv) {
    const int cards = argc > 1 ? std::atoi(argv[1]) : 100000;
    std::string pattern = (fs::temp_directory_path() / "library-bench-XXXXXX").string();
    const fs::path root = ::mkdtemp(pattern.data());
    const fs::path bookDir = root / "Books";
    fs::create_directories(bookDir);
    CLXSettingsStore settings((root / "settings.ini").string());
    settings.WriteString(bookDir.string(), "Data Locations", "BookDir");
    const std::string libraryPath = (root / "library.lxl").string();

    {
        LibraryContents contents = syntheticLibrary(cards, bookDir);
        lumo::WriteFileAtomically(libraryPath, StoreLibrary(contents));
    }
    std::printf("library of %d cards, %.1f MB on disk\n", cards,
                static_cast<double>(fs::file_size(libraryPath)) / 1e6);

    const long baseline = residentMegabytes();
    SilentUI ui;
    CLXLibraryDoc doc(settings, ui);
    report("reading the library file (open)", timed([&] { doc.OnOpenDocument(libraryPath); }), 0.5,
           "s");
    report("memory of the open library", static_cast<double>(residentMegabytes() - baseline), 300,
           "MB");
    report("writing the library file (save)", timed([&] { doc.Save(); }), 0.3, "s");

    CLXFilter filter;
    filter.SetKeyword("number 4242");
    doc.SetFilter(filter);
    int matches = 0;
    double walk = timed([&] {
        CLXCard card;
        int index = 0;
        for (int start = 0; doc.FindNextMatch(start, card, index) == 0; start = index + 1)
            ++matches;
    });
    report("FindNextMatch walk, one keyword", walk * 1000, 50, "ms");
    std::printf("  (%d matching cards)\n", matches);

    // The first lookup builds the identity and stored-path indexes; later adds reuse them.
    const std::string one = makeEdition(root / "one.lx", cards + 1);
    report("adding one title (identity check and save)",
           timed([&] { doc.AddTitleFromFile(one, true); }), 0.4, "s");
    const std::string two = makeEdition(root / "two.lx", cards + 2);
    report("adding another title (indexes already built)",
           timed([&] { doc.AddTitleFromFile(two, true); }), 0.4, "s");

    const fs::path folder = root / "import";
    fs::create_directories(folder);
    for (int i = 0; i < 1000; ++i) makeEdition(folder / ("e" + std::to_string(i) + ".lx"), i);
    report("importing a folder of 1,000 editions (and save)", timed([&] {
               doc.ImportDirectory(folder.string(), false);
               doc.Save();
           }),
           5, "s");
    std::printf("library now holds %d cards\n", doc.GetCardCount());

    std::error_code error;
    fs::remove_all(root, error);
    return 0;
}
