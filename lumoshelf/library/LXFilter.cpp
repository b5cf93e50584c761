#include "library/LXFilter.h"

#include "library/Archive.h"
#include "library/FileUtil.h"
#include "library/LXCard.h"
#include "library/LXCategory.h"

namespace {

bool anyEquals(const std::vector<std::string>& entries, const std::string& value) {
    if (entries.empty()) return true;
    for (const std::string& entry : entries)
        if (lumo::EqualsNoCase(entry, value)) return true;
    return false;
}

bool anyContains(const std::vector<std::string>& entries, const std::string& value) {
    if (entries.empty()) return true;
    for (const std::string& entry : entries)
        if (lumo::ContainsNoCase(entry, value)) return true;
    return false;
}

bool categoriesPass(const std::vector<std::string>& entries, const CLXCard& card) {
    if (entries.empty() || anyContains(entries, kAllCategoryId)) return true;
    for (const std::string& id : card.categories)
        if (anyContains(entries, id)) return true;
    return false;
}

bool keywordsPass(const std::vector<std::string>& keywords, const CLXCard& card) {
    if (keywords.empty()) return true;
    const std::string* texts[] = {&card.author, &card.pubName, &card.periodicalName, &card.title,
                                  &card.username};
    bool anyText = false;
    for (const std::string& keyword : keywords) {
        for (const std::string* text : texts) {
            if (text->empty()) continue;
            anyText = true;
            if (lumo::ContainsNoCase(*text, keyword)) return true;
        }
    }
    return !anyText;
}

void storeArray(CLXArchiveWriter& archive, const std::vector<std::string>& values) {
    archive.WriteCount(values.size());
    for (const std::string& value : values) archive.WriteString(value);
}

void loadArray(CLXArchiveReader& archive, std::vector<std::string>& values) {
    values.clear();
    for (std::uint64_t n = archive.ReadCount(); n > 0; --n) values.push_back(archive.ReadString());
}

}  // namespace

void CLXFilter::SetAuthor(const std::string& text) {
    authors.clear();
    if (!text.empty()) authors.push_back(text);
}

void CLXFilter::SetUsername(const std::string& text) {
    usernames.clear();
    if (!text.empty()) usernames.push_back(text);
}

void CLXFilter::SetCategory(const CLXCategory& category) {
    categories.clear();
    AddCategory(category);
}

void CLXFilter::SetKeyword(const std::string& text) {
    keywords.clear();
    if (!text.empty()) keywords.push_back(text);
}

void CLXFilter::AddCategory(const CLXCategory& category) { categories.push_back(category.id); }

int CLXFilter::get(const std::vector<std::string>& values, int index, std::string& out) {
    if (index < 0 || static_cast<size_t>(index) >= values.size()) return 1028;
    out = values[static_cast<size_t>(index)];
    return 0;
}

int CLXFilter::Match(const CLXCard& card, bool& passes) const {
    passes = Passes(card);
    return 0;
}

bool CLXFilter::Passes(const CLXCard& card) const {
    if (onReaderOnly && card.onReader == 0) return false;
    if (withMarkupsOnly && card.markups.empty()) return false;
    return anyEquals(authors, card.author) && anyEquals(usernames, card.username) &&
           categoriesPass(categories, card) && keywordsPass(keywords, card);
}

void CLXFilter::Store(CLXArchiveWriter& archive) const {
    archive.WriteU32(version);
    archive.WriteBool(onReaderOnly);
    archive.WriteBool(withMarkupsOnly);
    for (const auto* values : {&authors, &usernames, &categories, &keywords})
        storeArray(archive, *values);
}

void CLXFilter::Load(CLXArchiveReader& archive) {
    version = archive.ReadU32();
    onReaderOnly = archive.ReadBool();
    withMarkupsOnly = archive.ReadBool();
    for (auto* values : {&authors, &usernames, &categories, &keywords}) loadArray(archive, *values);
}
