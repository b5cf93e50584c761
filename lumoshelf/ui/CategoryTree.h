#pragma once

#include <QTreeWidget>
#include <string>
#include <vector>

#include "library/LXCategory.h"

// The category tree beside the title list: every category that is not deleted, under its parent,
// with its display name, the built-in ones first as the list holds them. A category dragged onto
// another moves under it (onto a built-in one: to the top level).
class CategoryTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit CategoryTree(CLXCategoryList& categories, QWidget* parent = nullptr);

    // Shows the list as it is now, keeping the selection and the expanded nodes where they remain.
    void reload();

    // The identifiers of the selected categories, in the order the tree lists them.
    std::vector<std::string> selectedIds() const;
    // The selected nodes that are not built in.
    std::vector<CLXCategoryListNode*> selectedNodes() const;
    CLXCategoryListNode* currentNode() const;
    void selectId(const std::string& id);

    // Moves a category under another; false (and nothing changes) when the move is refused.
    bool moveCategory(const std::string& id, const std::string& targetId);

signals:
    // The category whose titles the list shows changed.
    void currentCategoryChanged(const std::string& id);
    // A category was moved; the library is to be saved.
    void categoriesMoved();
    // A move was refused with this code (1069).
    void moveRefused(int code);
    // Titles of the list were dropped on a category: file them under it.
    void titlesDropped(const std::vector<int>& cardIndexes, const std::string& categoryId);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;

private:
    void addNodes(const CLXCategoryList& list, QTreeWidgetItem* parent);
    CLXCategoryListNode* nodeOf(const QTreeWidgetItem* item) const;

    CLXCategoryList& categories_;
};

// The identifier a tree item stands for.
std::string categoryIdOf(const QTreeWidgetItem* item);
