#include "ui/LibListView.h"

#include <QDragEnterEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QUrl>
#include <algorithm>
#include <string>

#include "library/AppMessages.h"
#include "library/SettingsStore.h"
#include "ui/AppMessageEvent.h"
#include "ui/TitleListModel.h"

namespace {

const std::string kSection = "Listview Settings";
constexpr int kDefaultWidths[TitleListModel::ColumnCount] = {200, 100, 100, 100, 100, 100};

std::string columnKey(const char* prefix, int column) { return prefix + std::to_string(column); }

bool hasLocalFiles(const QMimeData* mime) {
    const QList<QUrl> urls = mime->urls();
    return std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
}

// The stored numbers are written as unsigned decimal; a negative width reads back as a large one.
bool readInt(const CLXSettingsStore& profile, const std::string& key, int& out) {
    std::uint32_t raw = 0;
    if (!profile.ReadNumber(kSection, key, raw)) return false;
    out = static_cast<int>(raw);
    return true;
}

}  // namespace

CLibListView::CLibListView(CLXLibraryDoc& document, CLXSettingsStore& profile,
                           QObject* countReceiver, QWidget* parent)
    : QTreeView(parent),
      model_(new TitleListModel(document, this)),
      profile_(profile),
      countReceiver_(countReceiver) {
    setModel(model_);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setAlternatingRowColors(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::CopyAction);

    QHeaderView* heading = header();
    heading->setSectionsMovable(true);
    heading->setSectionsClickable(true);
    heading->setSortIndicatorShown(true);
    heading->setStretchLastSection(false);
    for (int column = 0; column < TitleListModel::ColumnCount; ++column)
        heading->resizeSection(column, kDefaultWidths[column]);
    connect(heading, &QHeaderView::sectionClicked, this, [this](int column) {
        model_->clickHeading(column);
        showSortIndicator();
    });
    readLayoutSettings();
}

CLibListView::~CLibListView() { writeLayoutSettings(); }

void CLibListView::readLayoutSettings() {
    QHeaderView* heading = header();
    std::vector<int> order;
    for (int column = 0; column < TitleListModel::ColumnCount; ++column) {
        int width = 0;
        if (readInt(profile_, columnKey("col", column), width) && width >= 0)
            heading->resizeSection(column, width);
        int logical = 0;
        if (readInt(profile_, columnKey("pos", column), logical)) order.push_back(logical);
    }
    // The order is used only when it names every column once.
    std::vector<int> check = order;
    std::sort(check.begin(), check.end());
    bool permutation = check.size() == size_t(TitleListModel::ColumnCount);
    for (size_t i = 0; permutation && i < check.size(); ++i) permutation = check[i] == int(i);
    if (permutation) {
        for (int visual = 0; visual < TitleListModel::ColumnCount; ++visual)
            heading->moveSection(heading->visualIndex(order[size_t(visual)]), visual);
    }
    int direction = 0, column = 0;
    readInt(profile_, "Sort Direction", direction);
    readInt(profile_, "Sort Column", column);
    if (column < 0 || column >= TitleListModel::ColumnCount) column = 0;
    model_->setSort(column, direction);
    showSortIndicator();
}

void CLibListView::writeLayoutSettings() {
    const QHeaderView* heading = header();
    for (int column = 0; column < TitleListModel::ColumnCount; ++column) {
        profile_.WriteNumber(std::uint32_t(heading->sectionSize(column)), kSection,
                             columnKey("col", column));
        profile_.WriteNumber(std::uint32_t(heading->logicalIndex(column)), kSection,
                             columnKey("pos", column));
    }
    profile_.WriteNumber(std::uint32_t(model_->sortDirection()), kSection, "Sort Direction");
    profile_.WriteNumber(std::uint32_t(model_->sortColumn()), kSection, "Sort Column");
}

void CLibListView::showSortIndicator() {
    header()->setSortIndicator(model_->sortColumn(), model_->sortDirection() == 0
                                                         ? Qt::AscendingOrder
                                                         : Qt::DescendingOrder);
}

int CLibListView::rebuildRows() {
    const int result = model_->rebuild();
    if (countReceiver_) postAppMessage(countReceiver_, WM_APP_TITLE_COUNT, model_->rowCount());
    return result;
}

std::vector<int> CLibListView::selectedCards() const {
    QModelIndexList rows = selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::vector<int> cards;
    for (const QModelIndex& row : rows) cards.push_back(model_->cardIndexOfRow(row.row()));
    return cards;
}

void CLibListView::dragEnterEvent(QDragEnterEvent* event) {
    if (event->source() != this && hasLocalFiles(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void CLibListView::dragMoveEvent(QDragMoveEvent* event) {
    if (event->source() != this && hasLocalFiles(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void CLibListView::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    if (paths.isEmpty() || event->source() == this) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit filesDropped(paths);
}
