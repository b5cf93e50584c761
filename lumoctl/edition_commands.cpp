// lumoctl edition ...: read what an edition says about itself, and pack pages into an edition.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>

#include "command_registry.h"
#include "library/FileUtil.h"
#include "library/LXCard.h"
#include "library/LXCardErrors.h"
#include "library_output.h"
#include "lumowriter/EditionPacker.h"

namespace lumoctl {
namespace {

struct PackOptions {
    std::string output, title, author, isbn, url, username, genre, publisher;
    std::string periodicalName, periodicalId;
    std::vector<std::string> pages;
};

// Table-of-contents names hold at most 31 bytes; longer page names are numbered instead.
std::string entryNameFor(const std::string& page, size_t number) {
    std::string name = lumo::LastNamePart(page);
    if (!name.empty() && name.size() <= lumowriter::kMaxEntryName) return name;
    return "page" + std::to_string(number) + lumo::LowerExtension(page).substr(0, 8);
}

void packEdition(const PackOptions& pack) {
    lumowriter::EditionLayout layout;
    layout.info = {{"Title", pack.title}, {"Author", pack.author}};
    const std::pair<const char*, const std::string*> optional[] = {
        {"ISBN", &pack.isbn},
        {"url", &pack.url},
        {"username", &pack.username},
        {"genre", &pack.genre},
        {"pub_name", &pack.publisher},
        {"PERIODICAL_NAME", &pack.periodicalName},
        {"PERIODICAL_ID", &pack.periodicalId}};
    for (const auto& [key, value] : optional)
        if (!value->empty()) layout.info.emplace_back(key, *value);
    for (size_t i = 0; i < pack.pages.size(); ++i) {
        auto bytes = lumo::ReadWholeFile(pack.pages[i], UINT64_C(1) << 31);
        if (!bytes) throw CommandFailure{"cannot read the page " + pack.pages[i]};
        layout.contents.push_back({entryNameFor(pack.pages[i], i + 1), std::move(*bytes)});
    }
    layout.packageXml = lumowriter::PackageXml(pack.title, pack.author);
    std::string error;
    if (!lumowriter::WriteEdition(layout, pack.output, error)) throw CommandFailure{error};
    std::cout << "wrote " << pack.output << '\n';
}

void addEditionCommands(CLI::App& app, const GlobalOptions&) {
    CLI::App& edition = commandGroup(app, "edition", "Edition files (.lx): read and make them");

    auto infoFile = std::make_shared<std::string>();
    auto infoJson = std::make_shared<bool>(false);
    auto* info = edition.add_subcommand("info", "Show what an edition says about itself");
    info->add_option("FILE", *infoFile, "Edition file")->required();
    info->add_flag("--json", *infoJson, "Print the card as JSON");
    info->callback([infoFile, infoJson] {
        CLXCard card;
        if (card.ReadFromEdition(*infoFile) != CARD_OK)
            throw CommandFailure{MessageForCardError(card).text};
        if (*infoJson) {
            printJson(cardJson(card, -1));
            return;
        }
        const std::pair<const char*, const std::string*> fields[] = {
            {"title", &card.title},
            {"author", &card.author},
            {"isbn", &card.isbn},
            {"genre", &card.genre},
            {"username", &card.username},
            {"url", &card.url},
            {"version", &card.version},
            {"pubName", &card.pubName},
            {"periodicalName", &card.periodicalName},
            {"periodicalId", &card.periodicalId}};
        for (const auto& [name, value] : fields) std::cout << name << ": " << *value << '\n';
        std::cout << "type: " << card.type << "\nfileSize: " << card.fileSize
                  << "\naltMagic: " << card.altMagic << '\n';
    });

    auto pack = std::make_shared<PackOptions>();
    auto* packer = edition.add_subcommand("pack", "Pack HTML pages into an edition");
    packer->add_option("-o", pack->output, "Edition file to write")->required();
    packer->add_option("--title", pack->title, "Title")->required();
    packer->add_option("--author", pack->author, "Author")->required();
    packer->add_option("--isbn", pack->isbn, "ISBN");
    packer->add_option("--url", pack->url, "Identifier, ebook:<name>");
    packer->add_option("--username", pack->username, "Owner name");
    packer->add_option("--genre", pack->genre, "Genre");
    packer->add_option("--publisher", pack->publisher, "Publisher");
    auto* periodicalName =
        packer->add_option("--periodical-name", pack->periodicalName, "Periodical name");
    auto* periodicalId = packer->add_option("--periodical-id", pack->periodicalId, "Periodical id");
    periodicalName->needs(periodicalId);
    periodicalId->needs(periodicalName);
    packer->add_option("PAGE", pack->pages, "HTML pages, in reading order")->required();
    packer->callback([pack] { packEdition(*pack); });
}

const CommandRegistration registration(addEditionCommands);

}  // namespace
}  // namespace lumoctl
