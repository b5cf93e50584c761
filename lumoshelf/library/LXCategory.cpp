#include "library/LXCategory.h"

#include <uuid/uuid.h>

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "library/Archive.h"
#include "library/StringTable.h"

namespace {

constexpr unsigned kNewCategoryName = 362;
constexpr std::uint16_t kNewClassTag = 0xFFFF;
constexpr std::uint16_t kNodeClassTag = 0x8001;  // the node class is the first class written
constexpr std::uint16_t kNodeSchema = 1;
constexpr const char* kNodeClassName = "CLXCategoryListNode";

CLXCategoryListNode* findIn(CLXCategoryList& list, const std::string* name, const std::string* id,
                            CLXCategoryList** owningList) {
    for (auto& node : list) {
        if (node->deleted) continue;
        if ((name && node->category.DisplayName() == *name) || (id && node->category.id == *id)) {
            if (owningList) *owningList = &list;
            return node.get();
        }
        if (CLXCategoryListNode* found = findIn(node->children, name, id, owningList)) return found;
    }
    return nullptr;
}

CLXCategoryList* listHolding(CLXCategoryList& list, const CLXCategoryListNode* node) {
    for (auto& candidate : list) {
        if (candidate.get() == node) return &list;
        if (CLXCategoryList* found = listHolding(candidate->children, node)) return found;
    }
    return nullptr;
}

bool isBelow(const CLXCategoryListNode& node, const CLXCategoryListNode* target) {
    for (const auto& child : node.children)
        if (child.get() == target || isBelow(*child, target)) return true;
    return false;
}

void storeNode(CLXArchiveWriter& archive, const CLXCategoryListNode& node, bool& classWritten) {
    if (classWritten) {
        archive.WriteU16(kNodeClassTag);
    } else {
        archive.WriteU16(kNewClassTag);
        archive.WriteU16(kNodeSchema);
        const std::string_view className = kNodeClassName;
        archive.WriteU16(static_cast<std::uint16_t>(className.size()));
        archive.WriteRaw(className);
        classWritten = true;
    }
    archive.WriteU32(node.version);
    archive.WriteBool(node.deleted);
    node.category.Store(archive);
    archive.WriteCount(node.children.size());
    for (const auto& child : node.children) storeNode(archive, *child, classWritten);
}

void loadNode(CLXArchiveReader& archive, CLXCategoryListNode& node, bool& classRead, int depth) {
    if (depth > kMaxCategoryDepth) throw CLXArchiveError("categories nested too deeply");
    const std::uint16_t tag = archive.ReadU16();
    if (tag == kNewClassTag && !classRead) {
        const std::uint16_t schema = archive.ReadU16();
        const std::uint16_t length = archive.ReadU16();
        const std::string className = archive.ReadRaw(length);
        if (schema != kNodeSchema || className != kNodeClassName)
            throw CLXArchiveError("unknown object class in the category list");
        classRead = true;
    } else if (tag != kNodeClassTag || !classRead) {
        throw CLXArchiveError("unexpected object tag in the category list");
    }
    node.version = archive.ReadU32();
    node.deleted = archive.ReadBool();
    node.category.Load(archive);
    for (std::uint64_t n = archive.ReadCount(); n > 0; --n) {
        auto child = std::make_unique<CLXCategoryListNode>();
        loadNode(archive, *child, classRead, depth + 1);
        node.children.push_back(std::move(child));
    }
}

}  // namespace

std::string NewCategoryId() {
    uuid_t uuid;
    uuid_generate(uuid);
    std::string id = "guid-";
    char hex[3];
    for (unsigned char byte : uuid) {
        std::snprintf(hex, sizeof hex, "%02X", byte);
        id += hex;
    }
    return id;
}

int CLXCategory::InitCategory(const std::optional<std::string>& newName, std::uint32_t newNameId,
                              const std::optional<std::string>& newId, bool isFixed) {
    if (newName) {
        name = *newName;
        nameId = name.empty() ? kNewCategoryName : newNameId;
    } else {
        if (newNameId == 0) return CATEGORY_ERR_INTERNAL;
        name.clear();
        nameId = newNameId;
    }
    fixed = isFixed;
    id = newId ? *newId : NewCategoryId();
    return 0;
}

std::string CLXCategory::DisplayName() const {
    return (nameId != 0 && name.empty()) ? LXString(nameId) : name;
}

void CLXCategory::Store(CLXArchiveWriter& archive) const {
    archive.WriteU32(version);
    archive.WriteString(id);
    archive.WriteString(name);
    archive.WriteBool(fixed);
    archive.WriteU32(nameId);
}

void CLXCategory::Load(CLXArchiveReader& archive) {
    version = archive.ReadU32();
    id = archive.ReadString();
    name = archive.ReadString();
    fixed = archive.ReadBool();
    nameId = archive.ReadU32();
}

int FindCategory(CLXCategoryList& list, const std::string* name, const std::string* id,
                 CLXCategoryListNode*& node, CLXCategoryList** owningList) {
    if ((name == nullptr) == (id == nullptr)) return CATEGORY_ERR_INTERNAL;
    node = findIn(list, name, id, owningList);
    return node ? 0 : CATEGORY_ERR_NOT_FOUND;
}

int AddCategory(CLXCategoryList& list, const CLXCategory& category, CLXCategoryListNode*& node) {
    auto added = std::make_unique<CLXCategoryListNode>();
    added->category = category;
    node = added.get();
    list.push_back(std::move(added));
    return 0;
}

int FindOrCreateByName(CLXCategoryList& list, const std::string& name, CLXCategoryListNode*& node) {
    int result = FindCategory(list, &name, nullptr, node);
    if (result != CATEGORY_ERR_NOT_FOUND) return result;
    CLXCategory category;
    if (int error = category.InitCategory(name, 0, std::nullopt, false)) return error;
    return AddCategory(list, category, node);
}

int MoveCategory(CLXCategoryList& root, CLXCategoryListNode* node, CLXCategoryListNode* target) {
    if (!node || !target || node == target || node->category.fixed || isBelow(*node, target))
        return CATEGORY_ERR_CANNOT_MOVE;
    CLXCategoryList* from = listHolding(root, node);
    if (!from) return CATEGORY_ERR_CANNOT_MOVE;
    auto place = std::find_if(from->begin(), from->end(),
                              [node](const auto& candidate) { return candidate.get() == node; });
    std::unique_ptr<CLXCategoryListNode> moved = std::move(*place);
    from->erase(place);
    (target->category.fixed ? root : target->children).push_back(std::move(moved));
    return 0;
}

int AddUnderSelection(CLXCategoryList& root, CLXCategoryListNode* selected,
                      const CLXCategory& category, CLXCategoryListNode*& node) {
    CLXCategoryList& list = (!selected || selected->category.fixed) ? root : selected->children;
    return AddCategory(list, category, node);
}

void MarkDeleted(const std::vector<CLXCategoryListNode*>& nodes) {
    for (CLXCategoryListNode* node : nodes)
        if (node && !node->category.fixed) node->deleted = true;
}

void StoreCategoryList(CLXArchiveWriter& archive, const CLXCategoryList& list) {
    bool classWritten = false;
    archive.WriteCount(list.size());
    for (const auto& node : list) storeNode(archive, *node, classWritten);
}

void LoadCategoryList(CLXArchiveReader& archive, CLXCategoryList& list) {
    bool classRead = false;
    list.clear();
    for (std::uint64_t n = archive.ReadCount(); n > 0; --n) {
        auto node = std::make_unique<CLXCategoryListNode>();
        loadNode(archive, *node, classRead, 1);
        list.push_back(std::move(node));
    }
}
