// lumoctl library ...: the library document without a window, opened as the program opens it.

#include <filesystem>
#include <iostream>
#include <memory>

#include "command_registry.h"
#include "library/LXLibraryDoc.h"
#include "library/SettingsStore.h"
#include "library/StringTable.h"
#include "library_output.h"
#include "open_library.h"

namespace lumoctl {
namespace {

void printCards(CLXLibraryDoc& doc, bool json, const CLXFilter* filter) {
    if (filter) doc.SetFilter(*filter);
    nlohmann::json cards = nlohmann::json::array();
    CLXCard card;
    int index = 0;
    for (int start = 0; start < doc.GetCardCount(); start = index + 1) {
        if (filter) {
            if (doc.FindNextMatch(start, card, index) != 0) break;
        } else {
            index = start;
            card = doc.GetCard(index);
        }
        if (json) {
            cards.push_back(cardJson(card, index));
        } else {
            printCardLine(card, index);
        }
    }
    if (json) printJson(cards);
}

void printCategoryTree(const CLXCategoryList& list, int depth) {
    for (const auto& node : list) {
        if (node->deleted) continue;
        std::cout << std::string(static_cast<size_t>(depth) * 2, ' ')
                  << node->category.DisplayName() << "\t" << node->category.id
                  << (node->category.fixed ? "\t(fixed)" : "") << '\n';
        printCategoryTree(node->children, depth + 1);
    }
}

struct SearchOptions {
    std::vector<std::string> authors, owners, categories, keywords;
    bool onReader = false, withMarkups = false, json = false;
};

void addLibraryCommands(CLI::App& app, const GlobalOptions& options) {
    CLI::App& library =
        commandGroup(app, "library", "The title library: list, add, import, delete, search");
    library.require_subcommand(1);

    auto listJson = std::make_shared<bool>(false);
    auto* list = library.add_subcommand("list", "List every title card");
    list->add_flag("--json", *listJson, "Print the cards as JSON");
    list->callback([&options, listJson] {
        OpenLibrary open(options, false);
        printCards(open.doc, *listJson, nullptr);
    });

    auto addFiles = std::make_shared<std::vector<std::string>>();
    auto* add = library.add_subcommand("add", "Add editions (.lx) or reader software (.lff)");
    add->add_option("FILE", *addFiles, "Files to add")->required();
    add->callback([&options, addFiles] {
        OpenLibrary open(options, true);
        int failed = 0;
        for (const std::string& file : *addFiles) {
            std::error_code error;
            const std::string path =
                std::filesystem::absolute(file, error).lexically_normal().string();
            failed += open.doc.AddTitleFromFile(path, true) == 1 ? 0 : 1;
        }
        // A re-installed title is stored back without a save; the program saves it at exit.
        open.saveOrFail();
        if (failed)
            throw CommandFailure{std::to_string(failed) + " of " +
                                 std::to_string(addFiles->size()) + " files were not added"};
    });

    auto importDir = std::make_shared<std::string>();
    auto importRemove = std::make_shared<bool>(false);
    auto* importer =
        library.add_subcommand("import", "Import every edition and markup of a folder");
    importer->add_option("DIR", *importDir, "Folder to import")->required();
    importer->add_flag(
        "--remove", *importRemove,
        "Delete the imported editions once the library is saved; markups move beside "
        "their editions");
    importer->callback([&options, importDir, importRemove] {
        OpenLibrary open(options, true);
        const int before = open.doc.GetCardCount();
        open.doc.ImportDirectory(*importDir, *importRemove);
        open.doc.ApplyPendingMarkups();
        open.saveOrFail();
        std::cout << "imported " << open.doc.GetCardCount() - before << " new titles\n";
    });

    auto deleteIndexes = std::make_shared<std::vector<int>>();
    auto keepCard = std::make_shared<bool>(false);
    auto* remove = library.add_subcommand("delete", "Delete titles by index (see library list)");
    remove->add_option("INDEX", *deleteIndexes, "Card indexes")->required();
    remove->add_flag("--keep-card", *keepCard, "Delete only the edition file, keep the card");
    remove->callback([&options, deleteIndexes, keepCard] {
        OpenLibrary open(options, true);
        for (int index : *deleteIndexes)
            if (open.doc.SetDeleteMarks(index, true, !*keepCard) != 0)
                throw CommandFailure{LXString(61494) + ": no title at index " +
                                     std::to_string(index)};
        if (open.doc.DeleteMarkedTitles() != 0) throw CommandFailure{MessageText(61474)};
    });

    auto search = std::make_shared<SearchOptions>();
    auto* find = library.add_subcommand("search", "List the cards that pass a search filter");
    find->add_option("--author", search->authors, "Author (whole name, any letter case)");
    find->add_option("--owner", search->owners, "Owner name");
    find->add_option("--category", search->categories, "Category identifier");
    find->add_option("--keyword", search->keywords, "Word in title, author, publisher or owner");
    find->add_flag("--on-reader", search->onReader, "Only titles on the reader");
    find->add_flag("--with-markups", search->withMarkups, "Only titles with markups");
    find->add_flag("--json", search->json, "Print the cards as JSON");
    find->callback([&options, search] {
        OpenLibrary open(options, false);
        CLXFilter filter;
        filter.authors = search->authors;
        filter.usernames = search->owners;
        filter.categories = search->categories;
        filter.keywords = search->keywords;
        filter.onReaderOnly = search->onReader;
        filter.withMarkupsOnly = search->withMarkups;
        printCards(open.doc, search->json, &filter);
    });

    auto categoriesJson = std::make_shared<bool>(false);
    auto* categories = library.add_subcommand("categories", "Show the category tree");
    categories->add_flag("--json", *categoriesJson,
                         "Print the tree as JSON, deleted nodes included");
    categories->callback([&options, categoriesJson] {
        OpenLibrary open(options, false);
        if (*categoriesJson) {
            printJson(categoryJson(open.doc.Categories()));
        } else {
            printCategoryTree(open.doc.Categories(), 0);
        }
    });
}

const CommandRegistration registration(addLibraryCommands);

}  // namespace
}  // namespace lumoctl
