#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CLXArchiveReader;
class CLXArchiveWriter;

enum CategoryError : int {
    CATEGORY_ERR_INTERNAL = 1028,
    CATEGORY_ERR_NO_ID = 1065,
    CATEGORY_ERR_NOT_FOUND = 1067,
    CATEGORY_ERR_NONE_SELECTED = 1068,
    CATEGORY_ERR_CANNOT_MOVE = 1069,
};

// The built-in categories.
inline constexpr const char* kAllCategoryId = "ALLCATID";
inline constexpr const char* kUnfiledCategoryId = "UNFILEDCATID";
inline constexpr const char* kNewCategoryId = "NEWCATID";

class CLXCategory {
public:
    // A given name (even an empty one, which then reads as string 362) becomes the name;
    // without one, nameId must not be 0 (else 1028). Without an id a new identifier is made.
    int InitCategory(const std::optional<std::string>& newName, std::uint32_t newNameId,
                     const std::optional<std::string>& newId, bool isFixed);
    // The name, or the text of string nameId when the name is empty and nameId is set.
    std::string DisplayName() const;

    void Store(CLXArchiveWriter& archive) const;
    void Load(CLXArchiveReader& archive);

    std::uint32_t version = 1;
    std::string id;
    std::string name;
    std::uint32_t nameId = 0;
    bool fixed = false;
};

// "guid-" and 32 upper-case hexadecimal digits from a new GUID; empty when none can be made.
std::string NewCategoryId();

struct CLXCategoryListNode;
// An ordered list of nodes; the list owns its nodes, and every node owns its children.
using CLXCategoryList = std::vector<std::unique_ptr<CLXCategoryListNode>>;

struct CLXCategoryListNode {
    CLXCategory category;
    CLXCategoryList children;
    bool deleted = false;
    std::uint32_t version = 1;
};

// Depth-first lookup that skips deleted nodes with everything below them. Exactly one of name
// (compared with the display name) and id is given, else 1028; 1067 when nothing matches.
int FindCategory(CLXCategoryList& list, const std::string* name, const std::string* id,
                 CLXCategoryListNode*& node, CLXCategoryList** owningList = nullptr);
int AddCategory(CLXCategoryList& list, const CLXCategory& category, CLXCategoryListNode*& node);
int FindOrCreateByName(CLXCategoryList& list, const std::string& name, CLXCategoryListNode*& node);
// Moves node under target (to the top level when target is fixed); 1069 when node is target,
// node is fixed, or target lies below node.
int MoveCategory(CLXCategoryList& root, CLXCategoryListNode* node, CLXCategoryListNode* target);
// A new category under the selected node, or at the top level when that node is fixed or none
// is selected.
int AddUnderSelection(CLXCategoryList& root, CLXCategoryListNode* selected,
                      const CLXCategory& category, CLXCategoryListNode*& node);
void MarkDeleted(const std::vector<CLXCategoryListNode*>& nodes);

// The category tree in the library file: an archive count of top-level nodes, each a tagged
// object whose record nests its children the same way. Reading throws CLXArchiveError for
// tags the writer never writes and for nesting deeper than kMaxCategoryDepth.
constexpr int kMaxCategoryDepth = 1000;
void StoreCategoryList(CLXArchiveWriter& archive, const CLXCategoryList& list);
void LoadCategoryList(CLXArchiveReader& archive, CLXCategoryList& list);
