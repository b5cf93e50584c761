#include "ui/TitleListModel.h"

#include <QCollator>
#include <QMimeData>
#include <QUrl>
#include <algorithm>

#include "library/LXCard.h"
#include "library/LXLibraryDoc.h"
#include "ui/TextConversion.h"
#include "ui/TitleListIcons.h"
#include "ui/UiStrings.h"

namespace {

constexpr unsigned kTitleHeading = 61450;
constexpr unsigned kAuthorHeading = 61451;
constexpr unsigned kSizeHeading = 61492;
constexpr unsigned kOwnerHeading = 306;
constexpr unsigned kOnReaderHeading = 312;
constexpr unsigned kMarkupsHeading = 311;
constexpr unsigned kTitleNotFound = 61446;
constexpr unsigned kAuthorNotFound = 61447;
constexpr unsigned kNoOwner = 305;
constexpr int kNoneLeft = 1058;

const std::string& sortText(const CLXCard& card, int column) {
    switch (column) {
        case TitleListModel::TitleColumn:
            return card.title;
        case TitleListModel::AuthorColumn:
            return card.author;
        default:
            return card.username;
    }
}

long long sortNumber(const CLXCard& card, int column) {
    switch (column) {
        case TitleListModel::SizeColumn:
            return card.fileSize;
        case TitleListModel::OnReaderColumn:
            return card.onReader;
        default:
            return static_cast<long long>(card.markups.size());
    }
}

bool isTextColumn(int column) {
    return column == TitleListModel::TitleColumn || column == TitleListModel::AuthorColumn ||
           column == TitleListModel::OwnerColumn;
}

}  // namespace

int TitleListModel::sortDirection_ = TitleListModel::Ascending;

std::uint32_t titleSizeInK(std::uint32_t fileSize) { return fileSize < 2048 ? 1 : fileSize / 1024; }

QString titleCellText(const CLXCard& card, int column) {
    switch (column) {
        case TitleListModel::TitleColumn:
            return card.title.empty() ? uiString(kTitleNotFound) : toQString(card.title);
        case TitleListModel::AuthorColumn:
            return card.author.empty() ? uiString(kAuthorNotFound) : toQString(card.author);
        case TitleListModel::SizeColumn:
            return QString::number(titleSizeInK(card.fileSize));
        case TitleListModel::OwnerColumn: {
            const QString owner = toQString(card.username);
            return owner.compare(QLatin1String("[none]"), Qt::CaseInsensitive) == 0
                       ? uiString(kNoOwner)
                       : owner;
        }
        default:
            return {};
    }
}

TitleListModel::TitleListModel(CLXLibraryDoc& document, QObject* parent)
    : QAbstractTableModel(parent), document_(document) {}

int TitleListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int TitleListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TitleListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    if (role != Qt::DisplayRole && role != Qt::DecorationRole && role != Qt::ToolTipRole) return {};
    const CLXCard& card = document_.CardAt(cardIndexOfRow(index.row()));
    if (role == Qt::DecorationRole) {
        if (index.column() == OnReaderColumn && card.onReader) return onReaderIcon();
        if (index.column() == MarkupsColumn && !card.markups.empty()) return markupsIcon();
        return {};
    }
    if (role == Qt::ToolTipRole)
        return index.column() == TitleColumn ? QVariant(toQString(card.storedPath)) : QVariant();
    return titleCellText(card, index.column());
}

QVariant TitleListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const unsigned headings[ColumnCount] = {kTitleHeading,    kAuthorHeading,
                                                   kSizeHeading,     kOwnerHeading,
                                                   kOnReaderHeading, kMarkupsHeading};
    return section >= 0 && section < ColumnCount ? uiString(headings[section]) : QVariant();
}

Qt::ItemFlags TitleListModel::flags(const QModelIndex& index) const {
    return QAbstractTableModel::flags(index) |
           (index.isValid() ? Qt::ItemIsDragEnabled : Qt::NoItemFlags);
}

QStringList TitleListModel::mimeTypes() const {
    return {QStringLiteral("text/uri-list"), QString::fromLatin1(kCardIndexesMimeType)};
}

// Titles dragged out of the list carry their edition files, for a file manager or another
// program that takes editions, and their card indexes, for the category tree.
QMimeData* TitleListModel::mimeData(const QModelIndexList& indexes) const {
    QList<QUrl> files;
    std::vector<int> seen;
    for (const QModelIndex& index : indexes) {
        const int card = cardIndexOfRow(index.row());
        if (std::find(seen.begin(), seen.end(), card) != seen.end()) continue;
        seen.push_back(card);
        const CLXCard& copy = document_.CardAt(card);
        if (copy.presence == 1) files << QUrl::fromLocalFile(toQString(copy.storedPath));
    }
    QStringList numbers;
    for (const int card : seen) numbers << QString::number(card);
    auto* mime = new QMimeData;
    mime->setUrls(files);
    mime->setData(QString::fromLatin1(kCardIndexesMimeType), numbers.join(',').toLatin1());
    return mime;
}

int TitleListModel::rebuild() {
    beginResetModel();
    rows_.clear();
    int result = 0;
    CLXCard card;
    int index = 0;
    for (int start = 0;; start = index + 1) {
        result = document_.FindNextMatch(start, card, index);
        if (result != 0) break;
        rows_.push_back(index);
    }
    if (result == kNoneLeft) result = 0;
    sortRows();
    endResetModel();
    return result;
}

void TitleListModel::clickHeading(int column) {
    if (column == sortColumn_)
        setSort(column, sortDirection_ == Ascending ? Descending : Ascending);
    else
        setSort(column, Ascending);
}

void TitleListModel::setSort(int column, int direction) {
    sortColumn_ = column >= 0 && column < ColumnCount ? column : TitleColumn;
    sortDirection_ = direction == Descending ? Descending : Ascending;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> cardsBefore;
    for (const QModelIndex& index : before) cardsBefore.push_back(cardIndexOfRow(index.row()));
    sortRows();
    QModelIndexList after;
    for (size_t i = 0; i < cardsBefore.size(); ++i)
        after << this->index(rowOfCard(cardsBefore[i]), before[int(i)].column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

// Each row's key is read from its card once; comparing then costs no card copies.
void TitleListModel::sortRows() {
    const int sign = sortDirection_ == Descending ? -1 : 1;
    std::vector<size_t> order(rows_.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    if (isTextColumn(sortColumn_)) {
        // Case is folded before collating: not every collation back end ignores it when asked.
        QCollator collator;
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        std::vector<QCollatorSortKey> keys;
        keys.reserve(rows_.size());
        for (const int card : rows_)
            keys.push_back(collator.sortKey(
                toQString(sortText(document_.CardAt(card), sortColumn_)).toCaseFolded()));
        std::stable_sort(order.begin(), order.end(),
                         [&](size_t a, size_t b) { return sign * keys[a].compare(keys[b]) < 0; });
    } else {
        std::vector<long long> keys;
        keys.reserve(rows_.size());
        for (const int card : rows_)
            keys.push_back(sortNumber(document_.CardAt(card), sortColumn_));
        std::stable_sort(order.begin(), order.end(),
                         [&](size_t a, size_t b) { return sign * (keys[a] - keys[b]) < 0; });
    }
    std::vector<int> sorted;
    sorted.reserve(rows_.size());
    for (const size_t i : order) sorted.push_back(rows_[i]);
    rows_ = std::move(sorted);
}

int TitleListModel::rowOfCard(int cardIndex) const {
    const auto found = std::find(rows_.begin(), rows_.end(), cardIndex);
    return found == rows_.end() ? -1 : int(found - rows_.begin());
}

void TitleListModel::cardChanged(int cardIndex) {
    const int row = rowOfCard(cardIndex);
    if (row >= 0) emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}
