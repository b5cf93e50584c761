#include "library/LXCategory.h"

#include <gtest/gtest.h>

#include <regex>

#include "library/Archive.h"

namespace {

class Categories : public ::testing::Test {
protected:
    void SetUp() override {
        struct BuiltIn {
            std::uint32_t nameId;
            const char* id;
        } builtIns[] = {{358, kAllCategoryId}, {359, kUnfiledCategoryId}, {360, kNewCategoryId}};
        for (const BuiltIn& b : builtIns) {
            CLXCategory category;
            ASSERT_EQ(category.InitCategory(std::nullopt, b.nameId, std::string(b.id), true), 0);
            CLXCategoryListNode* node = nullptr;
            AddCategory(root, category, node);
        }
        ASSERT_EQ(FindOrCreateByName(root, "Fiction", fiction), 0);
        CLXCategory child;
        child.InitCategory(std::string("Crime"), 0, std::nullopt, false);
        AddUnderSelection(root, fiction, child, crime);
    }
    CLXCategoryListNode* byName(const std::string& name) {
        CLXCategoryListNode* node = nullptr;
        return FindCategory(root, &name, nullptr, node) == 0 ? node : nullptr;
    }
    CLXCategoryList root;
    CLXCategoryListNode* fiction = nullptr;
    CLXCategoryListNode* crime = nullptr;
};

TEST_F(Categories, IdentifiersAndNames) {
    EXPECT_TRUE(std::regex_match(fiction->category.id, std::regex("guid-[0-9A-F]{32}")));
    EXPECT_NE(fiction->category.id, crime->category.id);
    CLXCategory unnamed;
    EXPECT_EQ(unnamed.InitCategory(std::string(), 0, std::nullopt, false), 0);
    EXPECT_EQ(unnamed.DisplayName(), "New Category");
    EXPECT_EQ(unnamed.InitCategory(std::nullopt, 0, std::nullopt, false), CATEGORY_ERR_INTERNAL);
    EXPECT_EQ(byName("<All>"), root[0].get());
    EXPECT_EQ(byName("Crime"), crime);
    EXPECT_EQ(byName("crime"), nullptr);
    CLXCategoryListNode* node = nullptr;
    const std::string id = crime->category.id;
    CLXCategoryList* owner = nullptr;
    EXPECT_EQ(FindCategory(root, nullptr, &id, node, &owner), 0);
    EXPECT_EQ(owner, &fiction->children);
    EXPECT_EQ(FindCategory(root, &id, &id, node), CATEGORY_ERR_INTERNAL);
}

TEST_F(Categories, SameNameFindsTheFirstDepthFirst) {
    CLXCategory second;
    second.InitCategory(std::string("Crime"), 0, std::nullopt, false);
    CLXCategoryListNode* topCrime = nullptr;
    AddCategory(root, second, topCrime);
    EXPECT_EQ(byName("Crime"), crime);
    MarkDeleted({fiction});
    EXPECT_EQ(byName("Crime"), topCrime);  // the deleted sub-tree is skipped
    EXPECT_EQ(byName("Fiction"), nullptr);
    MarkDeleted({root[0].get()});
    EXPECT_FALSE(root[0]->deleted);  // built-in categories stay
}

TEST_F(Categories, MovesAndRefusals) {
    CLXCategoryListNode* unfiled = root[1].get();
    EXPECT_EQ(MoveCategory(root, fiction, crime), CATEGORY_ERR_CANNOT_MOVE);
    EXPECT_EQ(MoveCategory(root, fiction, fiction), CATEGORY_ERR_CANNOT_MOVE);
    EXPECT_EQ(MoveCategory(root, unfiled, fiction), CATEGORY_ERR_CANNOT_MOVE);
    EXPECT_EQ(fiction->children.size(), 1u);
    ASSERT_EQ(MoveCategory(root, crime, unfiled), 0);  // onto a fixed one: the top level
    EXPECT_TRUE(fiction->children.empty());
    EXPECT_EQ(root.back().get(), crime);
    ASSERT_EQ(MoveCategory(root, fiction, crime), 0);
    EXPECT_EQ(crime->children.front().get(), fiction);
}

TEST_F(Categories, TreeRecordRoundTripAndDamage) {
    MarkDeleted({crime});
    CLXArchiveWriter writer;
    StoreCategoryList(writer, root);
    const std::string bytes = writer.TakeBytes();
    CLXArchiveReader reader(bytes);
    CLXCategoryList loaded;
    LoadCategoryList(reader, loaded);
    EXPECT_TRUE(reader.AtEnd());
    ASSERT_EQ(loaded.size(), 4u);
    EXPECT_EQ(loaded[0]->category.DisplayName(), "<All>");
    EXPECT_TRUE(loaded[0]->category.fixed);
    ASSERT_EQ(loaded[3]->children.size(), 1u);
    EXPECT_TRUE(loaded[3]->children[0]->deleted);
    EXPECT_EQ(loaded[3]->children[0]->category.id, crime->category.id);

    // The first node carries the class, every later one the class index.
    EXPECT_EQ(bytes.substr(2, 6), std::string("\xFF\xFF\x01\x00\x13\x00", 6));
    EXPECT_EQ(bytes.substr(8, 19), "CLXCategoryListNode");

    // A back-reference to an earlier object (tag 0x0002) or an unknown class fails the read.
    std::string backReference = bytes;
    size_t second = backReference.find(std::string("\x01\x80", 2));
    ASSERT_NE(second, std::string::npos);
    backReference[second] = 0x02;
    backReference[second + 1] = 0x00;
    CLXArchiveReader bad(backReference);
    EXPECT_THROW(LoadCategoryList(bad, loaded), CLXArchiveError);
    std::string otherClass = bytes;
    otherClass[8] = 'X';
    CLXArchiveReader other(otherClass);
    EXPECT_THROW(LoadCategoryList(other, loaded), CLXArchiveError);
}

TEST(CategoryDepth, DeepNestingIsRefused) {
    CLXCategoryList root;
    CLXCategoryList* level = &root;
    for (int depth = 0; depth < kMaxCategoryDepth + 5; ++depth) {
        CLXCategory category;
        category.InitCategory(std::string("c"), 0, std::string("id"), false);
        CLXCategoryListNode* node = nullptr;
        AddCategory(*level, category, node);
        level = &node->children;
    }
    CLXArchiveWriter writer;
    StoreCategoryList(writer, root);
    CLXArchiveReader reader(writer.Bytes());
    CLXCategoryList loaded;
    EXPECT_THROW(LoadCategoryList(reader, loaded), CLXArchiveError);
}

}  // namespace
