#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

#include "RecordingPrompts.h"
#include "TestApp.h"
#include "library/LXCard.h"
#include "library/LXCategory.h"
#include "ui/CategoriseDialog.h"
#include "ui/CategoryTree.h"
#include "ui/PageBkProps.h"
#include "ui/SearchPanel.h"
#include "ui/TextConversion.h"

namespace {

CLXCategoryListNode* add(CLXCategoryList& list, const std::string& name, const std::string& id,
                         unsigned nameId = 0, bool fixed = false) {
    CLXCategory category;
    if (nameId)
        category.InitCategory(std::nullopt, nameId, id, fixed);
    else
        category.InitCategory(name, 0, id, fixed);
    CLXCategoryListNode* node = nullptr;
    AddCategory(list, category, node);
    return node;
}

// <All>, <Unfiled>, <New>, then Fiction with Crime below it, and a deleted Poetry.
CLXCategoryList sampleCategories() {
    CLXCategoryList list;
    add(list, "", kAllCategoryId, 358, true);
    add(list, "", kUnfiledCategoryId, 359, true);
    add(list, "", kNewCategoryId, 360, true);
    CLXCategoryListNode* fiction = add(list, "Fiction", "guid-F");
    add(fiction->children, "Crime", "guid-C");
    add(list, "Poetry", "guid-P")->deleted = true;
    return list;
}

QStringList shownNames(const QTreeWidgetItem* parent) {
    QStringList names;
    for (int i = 0; i < parent->childCount(); ++i) {
        names << parent->child(i)->text(0);
        for (const QString& below : shownNames(parent->child(i)))
            names << parent->child(i)->text(0) + "/" + below;
    }
    return names;
}

}  // namespace

TEST(CategoryTree, ShowsBuiltInsFirstWithDisplayNamesAndHidesDeletedNodes) {
    testApp();
    CLXCategoryList list = sampleCategories();
    CategoryTree tree(list);
    EXPECT_EQ(shownNames(tree.invisibleRootItem()),
              (QStringList{"<All>", "<Unfiled>", "<New>", "Fiction", "Fiction/Crime"}));
}

TEST(CategoryTree, MovesFollowTheCategoryRules) {
    testApp();
    CLXCategoryList list = sampleCategories();
    CategoryTree tree(list);
    QSignalSpy refused(&tree, &CategoryTree::moveRefused);
    QSignalSpy moved(&tree, &CategoryTree::categoriesMoved);

    // Into its own sub-tree, or a built-in category moved: refused, nothing changes.
    EXPECT_FALSE(tree.moveCategory("guid-F", "guid-C"));
    EXPECT_FALSE(tree.moveCategory(kNewCategoryId, "guid-F"));
    ASSERT_EQ(refused.count(), 2);
    EXPECT_EQ(refused.at(0).at(0).toInt(), 1069);
    EXPECT_EQ(moved.count(), 0);

    // Onto a built-in category: to the top level.
    EXPECT_TRUE(tree.moveCategory("guid-C", kUnfiledCategoryId));
    EXPECT_EQ(shownNames(tree.invisibleRootItem()),
              (QStringList{"<All>", "<Unfiled>", "<New>", "Fiction", "Crime"}));
    EXPECT_TRUE(tree.moveCategory("guid-F", "guid-C"));
    EXPECT_EQ(shownNames(tree.invisibleRootItem()),
              (QStringList{"<All>", "<Unfiled>", "<New>", "Crime", "Crime/Fiction"}));
    EXPECT_EQ(moved.count(), 2);
    EXPECT_EQ(tree.selectedIds(), std::vector<std::string>{"guid-F"});
}

TEST(CategoryTree, ReloadKeepsTheCurrentCategory) {
    testApp();
    CLXCategoryList list = sampleCategories();
    CategoryTree tree(list);
    tree.selectId("guid-C");
    QSignalSpy changed(&tree, &CategoryTree::currentCategoryChanged);
    add(list, "Travel", "guid-T");
    tree.reload();
    EXPECT_EQ(categoryIdOf(tree.currentItem()), "guid-C");
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(tree.selectedNodes().size(), 1u);
}

TEST(CategoriseDialog, RefusesAnEmptyChoiceAndReturnsTheChoiceInTreeOrder) {
    testApp();
    CLXCategoryList list = sampleCategories();
    RecordingPrompts prompts;
    CategoriseDialog dialog(list, {"guid-C", kNewCategoryId}, false, prompts);
    // One title: its categories are chosen to begin with.
    EXPECT_EQ(dialog.tree().selectedIds(), (std::vector<std::string>{kNewCategoryId, "guid-C"}));

    dialog.tree().clearSelection();
    dialog.accept();
    EXPECT_EQ(prompts.told, QStringList{"At least 1 category must be selected."});
    EXPECT_EQ(prompts.icons.back(), UserPrompts::Icon::Stop);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);

    dialog.tree().selectId("guid-C");
    dialog.tree().currentItem()->setSelected(true);
    dialog.tree().selectId(kUnfiledCategoryId);
    dialog.tree().currentItem()->setSelected(true);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.chosenIds(), (std::vector<std::string>{kUnfiledCategoryId, "guid-C"}));
}

TEST(CategoriseDialog, SeveralTitlesStartWithNothingChosenAndCancelFocused) {
    testApp();
    CLXCategoryList list = sampleCategories();
    RecordingPrompts prompts;
    CategoriseDialog dialog(list, {"guid-C"}, true, prompts);
    dialog.show();
    QApplication::processEvents();
    EXPECT_TRUE(dialog.tree().selectedIds().empty());
    EXPECT_EQ(dialog.focusWidget(), dialog.buttons().button(QDialogButtonBox::Cancel));
}

TEST(PropertiesPage, CardWhoseFileIsGoneShowsNotPresentAndNotAvailable) {
    testApp();
    CLXCard card;
    card.title = "Emma";
    card.author = "Jane Austen";
    card.storedPath = "/nonexistent/emma.lx";
    card.fileSize = 1536;
    CLXMarkup note;
    note.SetFromPath("/nonexistent/emma.LN");
    card.markups.push_back(note);
    CLXPageBkProps page;
    EXPECT_EQ(page.FillFromCard(card), 0);

    QStringList texts;
    for (const QLabel* label : page.findChildren<QLabel*>()) texts << label->text();
    EXPECT_TRUE(texts.contains("Emma"));
    EXPECT_TRUE(texts.contains("Jane Austen"));
    EXPECT_TRUE(texts.contains("1 KBytes"));
    EXPECT_EQ(texts.count("Not Present"), 1);
    EXPECT_EQ(texts.count("Not Available"), 3);
    QStringList checked;
    for (const QCheckBox* box : page.findChildren<QCheckBox*>())
        if (box->isChecked()) checked << box->text();
    EXPECT_EQ(checked, QStringList{"Notes"});
}

TEST(SearchPanel, FieldsFollowTheUserAndClearReportsOnce) {
    testApp();
    SearchPanel panel;
    panel.setChoices({"Austen", "Dickens"}, {"[none]", "alice"});
    QSignalSpy changed(&panel, &SearchPanel::changed);
    panel.keywordEdit()->setText("  emma   persuasion ");
    panel.authorBox()->setCurrentIndex(2);
    panel.onReaderBox()->setChecked(true);
    const SearchFields fields = panel.fields();
    EXPECT_EQ(fields.keywords, (QStringList{"emma", "persuasion"}));
    EXPECT_EQ(fields.authors, QStringList{"Dickens"});
    EXPECT_TRUE(fields.usernames.isEmpty());
    EXPECT_TRUE(fields.onReaderOnly);
    EXPECT_FALSE(fields.withMarkupsOnly);
    EXPECT_EQ(changed.count(), 3);

    // New choices keep the chosen name where it is still offered.
    panel.setChoices({"Dickens", "Eliot"}, {});
    EXPECT_EQ(panel.fields().authors, QStringList{"Dickens"});
    panel.setChoices({"Eliot"}, {});
    EXPECT_TRUE(panel.fields().authors.isEmpty());

    changed.clear();
    panel.findChild<QPushButton*>()->click();
    EXPECT_EQ(changed.count(), 1);
    EXPECT_TRUE(panel.fields().keywords.isEmpty());
    EXPECT_FALSE(panel.fields().onReaderOnly);
}

TEST(TextConversion, Utf8WithWindows1252Fallback) {
    EXPECT_EQ(toQString("Caf\xc3\xa9"), QString::fromUtf8("Café"));
    EXPECT_EQ(toQString("Caf\xe9 \x80 \x96"), QString::fromUtf8("Café € –"));
    EXPECT_EQ(toBytes(QString::fromUtf8("Café")), "Caf\xc3\xa9");
}
