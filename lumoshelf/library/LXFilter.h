#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CLXArchiveReader;
class CLXArchiveWriter;
class CLXCard;
class CLXCategory;

// Which titles the title list shows. Empty arrays place no condition; a new filter passes every
// card. Texts are compared without regard to letter case.
class CLXFilter {
public:
    void SetAuthor(const std::string& text);
    void SetUsername(const std::string& text);
    void SetCategory(const CLXCategory& category);
    void SetKeyword(const std::string& text);
    void AddAuthor(const std::string& text) { authors.push_back(text); }
    void AddUsername(const std::string& text) { usernames.push_back(text); }
    void AddCategory(const CLXCategory& category);
    void AddKeyword(const std::string& text) { keywords.push_back(text); }
    int GetAuthor(int index, std::string& text) const { return get(authors, index, text); }
    int GetUsername(int index, std::string& text) const { return get(usernames, index, text); }
    int GetCategory(int index, std::string& id) const { return get(categories, index, id); }
    int GetKeyword(int index, std::string& text) const { return get(keywords, index, text); }

    int Match(const CLXCard& card, bool& passes) const;
    bool Passes(const CLXCard& card) const;

    void Store(CLXArchiveWriter& archive) const;
    void Load(CLXArchiveReader& archive);

    std::uint32_t version = 1;
    bool onReaderOnly = false;
    bool withMarkupsOnly = false;
    std::vector<std::string> authors;
    std::vector<std::string> usernames;
    std::vector<std::string> categories;
    std::vector<std::string> keywords;

private:
    static int get(const std::vector<std::string>& values, int index, std::string& out);
};
