#pragma once

// How lumoctl prints cards and categories, shared by the library and edition commands.

#include <iostream>
#include <nlohmann/json.hpp>
#include <string>

#include "library/LXCard.h"
#include "library/LXCategory.h"

namespace lumoctl {

inline nlohmann::json cardJson(const CLXCard& card, int index) {
    nlohmann::json markups = nlohmann::json::array();
    for (const CLXMarkup& markup : card.markups)
        markups.push_back({{"version", markup.version},
                           {"kind", markup.kind},
                           {"path", markup.path},
                           {"titleOwner", markup.titleOwner},
                           {"readerId", markup.readerId}});
    nlohmann::json json = {{"title", card.title},
                           {"author", card.author},
                           {"isbn", card.isbn},
                           {"genre", card.genre},
                           {"username", card.username},
                           {"url", card.url},
                           {"version", card.version},
                           {"pubName", card.pubName},
                           {"periodicalName", card.periodicalName},
                           {"periodicalId", card.periodicalId},
                           {"type", card.type},
                           {"schema", card.schema},
                           {"presence", card.presence},
                           {"lastError", card.lastError},
                           {"fileSize", card.fileSize},
                           {"storedPath", card.storedPath},
                           {"sourcePath", card.sourcePath},
                           {"onReader", card.onReader},
                           {"altMagic", card.altMagic},
                           {"categories", card.categories},
                           {"markups", markups}};
    if (index >= 0) json["index"] = index;
    return json;
}

inline nlohmann::json categoryJson(const CLXCategoryList& list) {
    nlohmann::json nodes = nlohmann::json::array();
    for (const auto& node : list)
        nodes.push_back({{"id", node->category.id},
                         {"displayName", node->category.DisplayName()},
                         {"fixed", node->category.fixed},
                         {"deleted", node->deleted},
                         {"children", categoryJson(node->children)}});
    return nodes;
}

// Texts in the library are bytes; anything that is not UTF-8 is replaced rather than refused.
inline void printJson(const nlohmann::json& json) {
    std::cout << json.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
}

inline void printCardLine(const CLXCard& card, int index) {
    std::cout << index << '\t' << card.title << '\t' << card.author << '\t' << card.username << '\t'
              << card.url << (card.presence == 1 ? "" : "\t(not present)")
              << (card.onReader ? "\t(on eBook)" : "")
              << (card.markups.empty() ? "" : "\t(markups)") << '\n';
}

}  // namespace lumoctl
