#pragma once

#include <QAbstractTableModel>
#include <cstdint>
#include <vector>

class CLXCard;
class CLXLibraryDoc;

// The rows of the title list: one per card that passes the document's filter. A row holds only
// the card's index in the document; every cell is read from the document's card when the view
// asks for it, so a row always shows the card's current values.
class TitleListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        TitleColumn,
        AuthorColumn,
        SizeColumn,
        OwnerColumn,
        OnReaderColumn,
        MarkupsColumn,
        ColumnCount
    };
    enum SortDirection { Ascending = 0, Descending = 1 };

    explicit TitleListModel(CLXLibraryDoc& document, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;

    // Walks the cards that pass the filter and sorts them; 0, or the walk's error.
    int rebuild();

    // A click on a column heading: the same column toggles the direction, another column sorts
    // ascending by that column.
    void clickHeading(int column);
    void setSort(int column, int direction);
    int sortColumn() const { return sortColumn_; }
    int sortDirection() const { return sortDirection_; }

    int cardIndexOfRow(int row) const { return rows_.at(size_t(row)); }
    // The row that shows a card, or -1.
    int rowOfCard(int cardIndex) const;
    // Tells the view that a card's cells changed (after the card was stored back).
    void cardChanged(int cardIndex);

private:
    void sortRows();

    CLXLibraryDoc& document_;
    std::vector<int> rows_;
    int sortColumn_ = TitleColumn;
    static int sortDirection_;  // one direction for the whole program
};

// The drag format that carries card indexes ("1,4,7") from the list to the category tree.
inline constexpr const char* kCardIndexesMimeType = "application/x-lumoshelf-card-indexes";

// The size cell: kilobytes, rounded down, and 1 for anything below 2048 bytes.
std::uint32_t titleSizeInK(std::uint32_t fileSize);

// A cell's text as the title list shows it.
QString titleCellText(const CLXCard& card, int column);
