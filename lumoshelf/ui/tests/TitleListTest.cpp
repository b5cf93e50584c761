#include <gtest/gtest.h>

#include <QHeaderView>
#include <QMimeData>
#include <QSignalSpy>
#include <QUrl>
#include <memory>

#include "DemoLibrary.h"
#include "RecordingPrompts.h"
#include "TestApp.h"
#include "library/AppMessages.h"
#include "library/LXCard.h"
#include "library/LXLibraryDoc.h"
#include "ui/AppMessageEvent.h"
#include "ui/LibListView.h"
#include "ui/LibraryWindowUi.h"
#include "ui/TitleListModel.h"

namespace {

// Catches the title count the list posts to the main window.
class CountReceiver : public QObject {
public:
    bool event(QEvent* event) override {
        if (unsigned(event->type()) != WM_APP_TITLE_COUNT) return QObject::event(event);
        counts.push_back(static_cast<AppMessageEvent*>(event)->wParam());
        return true;
    }
    std::vector<std::intptr_t> counts;
};

// A library of four titles, one without title and author, and a list on it.
class TitleListTest : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        document.OnOpenDocument(toBytes(library.libraryDir() + "/library.lxl"));
        add("emma.lx", "emma", "Jane Austen", "alice", 4000);
        add("bleak.lx", "Bleak House", "Charles Dickens", "[none]", 9000);
        add("bede.lx", "adam bede", "George Eliot", "bob", 100);
        add("blank.lx", "", "", "carol", 2500);
        view = std::make_unique<CLibListView>(document, profile, &counts);
        documentUi.setListView(view.get());
        view->rebuildRows();
        QCoreApplication::processEvents();
    }
    void TearDown() override { documentUi.setListView(nullptr); }

    void add(const char* name, const std::string& title, const std::string& author,
             const std::string& owner, size_t page) {
        const QString path =
            library.edition(library.path(name), title, author, owner, "Fiction", page);
        ASSERT_EQ(document.AddTitleFromFile(toBytes(path), false), 1);
    }

    QStringList column(int column) const {
        QStringList texts;
        const TitleListModel& model = view->titleModel();
        for (int row = 0; row < model.rowCount(); ++row)
            texts << model.data(model.index(row, column), Qt::DisplayRole).toString();
        return texts;
    }

    void clickHeading(int column) { emit view->header()->sectionClicked(column); }

    DemoLibrary library;
    CLXSettingsStore profile{toBytes(library.path("profile.ini"))};
    RecordingPrompts prompts;
    LibraryWindowUi documentUi{prompts};
    CLXLibraryDoc document{library.settings, documentUi};
    CountReceiver counts;
    std::unique_ptr<CLibListView> view;
};

}  // namespace

TEST(TitleListCells, TextsOfTheCells) {
    testApp();
    const std::pair<std::uint32_t, QString> sizes[] = {
        {0, "1"}, {1500, "1"}, {2047, "1"}, {2048, "2"}, {5000, "4"}, {1u << 30, "1048576"}};
    CLXCard card;
    for (const auto& [bytes, shown] : sizes) {
        card.fileSize = bytes;
        EXPECT_EQ(titleCellText(card, TitleListModel::SizeColumn), shown) << bytes;
    }
    EXPECT_EQ(titleCellText(card, TitleListModel::TitleColumn), "Title Not Found");
    EXPECT_EQ(titleCellText(card, TitleListModel::AuthorColumn), "Author Not Found");
    card.username = "[NONE]";
    EXPECT_EQ(titleCellText(card, TitleListModel::OwnerColumn), "[none]");
    card.username = "alice";
    card.title = "Caf\xe9";  // written by an older program
    EXPECT_EQ(titleCellText(card, TitleListModel::OwnerColumn), "alice");
    EXPECT_EQ(titleCellText(card, TitleListModel::TitleColumn), QString::fromUtf8("Café"));
    EXPECT_EQ(titleCellText(card, TitleListModel::OnReaderColumn), "");
}

TEST_F(TitleListTest, HeadingsWidthsAndTheCount) {
    const TitleListModel& model = view->titleModel();
    QStringList headings;
    for (int column = 0; column < model.columnCount(); ++column)
        headings << model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    EXPECT_EQ(headings,
              (QStringList{"Title", "Author", "Title Size (K)", "Owner", "On eBook", "Markups"}));
    const int widths[] = {200, 100, 100, 100, 100, 100};
    for (int column = 0; column < 6; ++column)
        EXPECT_EQ(view->header()->sectionSize(column), widths[column]);
    EXPECT_EQ(counts.counts, std::vector<std::intptr_t>{4});
}

TEST_F(TitleListTest, ClickingHeadingsSortsAndTogglesTheDirection) {
    clickHeading(TitleListModel::TitleColumn);  // already the sort column: now descending
    EXPECT_EQ(column(0), (QStringList{"emma", "Bleak House", "adam bede", "Title Not Found"}));
    clickHeading(TitleListModel::TitleColumn);
    EXPECT_EQ(column(0), (QStringList{"Title Not Found", "adam bede", "Bleak House", "emma"}));
    clickHeading(TitleListModel::AuthorColumn);
    EXPECT_EQ(column(1),
              (QStringList{"Author Not Found", "Charles Dickens", "George Eliot", "Jane Austen"}));
    clickHeading(TitleListModel::SizeColumn);
    EXPECT_EQ(column(0), (QStringList{"adam bede", "Title Not Found", "emma", "Bleak House"}));
    clickHeading(TitleListModel::SizeColumn);
    EXPECT_EQ(column(0), (QStringList{"Bleak House", "emma", "Title Not Found", "adam bede"}));
    EXPECT_EQ(view->header()->sortIndicatorSection(), TitleListModel::SizeColumn);
    EXPECT_EQ(view->header()->sortIndicatorOrder(), Qt::DescendingOrder);
}

TEST_F(TitleListTest, CellsAndMarkersFollowTheCardWithoutARebuild) {
    const int row = view->titleModel().rowOfCard(0);
    CLXCard card = document.GetCard(0);
    card.title = "Emma (revised)";
    card.onReader = 1;
    document.SetCard(0, card);
    const TitleListModel& model = view->titleModel();
    EXPECT_EQ(model.data(model.index(row, 0), Qt::DisplayRole).toString(), "Emma (revised)");
    EXPECT_FALSE(
        model.data(model.index(row, TitleListModel::OnReaderColumn), Qt::DecorationRole).isNull());
    EXPECT_TRUE(
        model.data(model.index(row, TitleListModel::MarkupsColumn), Qt::DecorationRole).isNull());

    clickHeading(TitleListModel::OnReaderColumn);
    EXPECT_EQ(view->titleModel().cardIndexOfRow(3), 0);
}

TEST_F(TitleListTest, FilterThatPassesNothingEmptiesTheListAndCountsZero) {
    CLXFilter filter;
    filter.AddKeyword("no such word");
    document.SetFilter(filter);
    QCoreApplication::processEvents();
    EXPECT_EQ(view->titleModel().rowCount(), 0);
    EXPECT_EQ(counts.counts.back(), 0);

    filter = CLXFilter{};
    filter.AddKeyword("BLEAK");
    document.SetFilter(filter);
    QCoreApplication::processEvents();
    EXPECT_EQ(column(0), QStringList{"Bleak House"});
    EXPECT_EQ(counts.counts.back(), 1);
}

TEST_F(TitleListTest, LayoutSettingsSurviveTheNextRun) {
    view->header()->resizeSection(TitleListModel::AuthorColumn, 177);
    view->header()->moveSection(view->header()->visualIndex(TitleListModel::OwnerColumn), 0);
    clickHeading(TitleListModel::AuthorColumn);
    clickHeading(TitleListModel::AuthorColumn);
    documentUi.setListView(nullptr);
    view.reset();

    std::uint32_t value = 0;
    ASSERT_TRUE(profile.ReadNumber("Listview Settings", "col1", value));
    EXPECT_EQ(value, 177u);
    ASSERT_TRUE(profile.ReadNumber("Listview Settings", "pos0", value));
    EXPECT_EQ(value, 3u);
    ASSERT_TRUE(profile.ReadNumber("Listview Settings", "Sort Column", value));
    EXPECT_EQ(value, 1u);
    ASSERT_TRUE(profile.ReadNumber("Listview Settings", "Sort Direction", value));
    EXPECT_EQ(value, 1u);

    CLibListView next(document, profile, nullptr);
    next.rebuildRows();
    EXPECT_EQ(next.header()->sectionSize(TitleListModel::AuthorColumn), 177);
    EXPECT_EQ(next.header()->logicalIndex(0), TitleListModel::OwnerColumn);
    EXPECT_EQ(next.titleModel().sortColumn(), TitleListModel::AuthorColumn);
    EXPECT_EQ(next.titleModel().sortDirection(), TitleListModel::Descending);
}

TEST_F(TitleListTest, StoredSortColumnOutOfRangeIsTheTitleColumn) {
    profile.WriteNumber(7, "Listview Settings", "Sort Column");
    profile.WriteNumber(0, "Listview Settings", "Sort Direction");
    profile.WriteNumber(3, "Listview Settings", "pos0");  // an order that is not a permutation
    CLibListView next(document, profile, nullptr);
    next.rebuildRows();
    EXPECT_EQ(next.titleModel().sortColumn(), TitleListModel::TitleColumn);
    EXPECT_EQ(next.header()->logicalIndex(0), TitleListModel::TitleColumn);
    EXPECT_EQ(next.titleModel().cardIndexOfRow(1), 2);  // "adam bede" after the empty title
}

TEST_F(TitleListTest, DraggedTitlesCarryTheirEditionFiles) {
    const TitleListModel& model = view->titleModel();
    const std::unique_ptr<QMimeData> mime(
        model.mimeData({model.index(0, 0), model.index(0, 1), model.index(1, 0)}));
    ASSERT_EQ(mime->urls().size(), 2);
    EXPECT_EQ(mime->urls().front().toLocalFile(),
              toQString(document.CardAt(model.cardIndexOfRow(0)).storedPath));
}
