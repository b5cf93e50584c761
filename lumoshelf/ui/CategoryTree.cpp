#include "ui/CategoryTree.h"

#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QSet>

#include "ui/TextConversion.h"
#include "ui/TitleListModel.h"

namespace {

constexpr int kIdRole = Qt::UserRole;

void collectExpanded(const QTreeWidgetItem* item, QSet<QString>& expanded) {
    for (int i = 0; i < item->childCount(); ++i) {
        const QTreeWidgetItem* child = item->child(i);
        if (child->isExpanded()) expanded << child->data(0, kIdRole).toString();
        collectExpanded(child, expanded);
    }
}

void collectInOrder(const QTreeWidgetItem* item, std::vector<const QTreeWidgetItem*>& out) {
    for (int i = 0; i < item->childCount(); ++i) {
        out.push_back(item->child(i));
        collectInOrder(item->child(i), out);
    }
}

}  // namespace

std::string categoryIdOf(const QTreeWidgetItem* item) {
    return item ? toBytes(item->data(0, kIdRole).toString()) : std::string();
}

CategoryTree::CategoryTree(CLXCategoryList& categories, QWidget* parent)
    : QTreeWidget(parent), categories_(categories) {
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::InternalMove);
    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { emit currentCategoryChanged(categoryIdOf(item)); });
    reload();
}

void CategoryTree::reload() {
    QSet<QString> expanded;
    collectExpanded(invisibleRootItem(), expanded);
    const std::string current = categoryIdOf(currentItem());
    const std::vector<std::string> selected = selectedIds();
    {
        const QSignalBlocker quiet(this);
        clear();
        addNodes(categories_, invisibleRootItem());
        std::vector<const QTreeWidgetItem*> items;
        collectInOrder(invisibleRootItem(), items);
        for (const QTreeWidgetItem* item : items) {
            auto* editable = const_cast<QTreeWidgetItem*>(item);
            const std::string id = categoryIdOf(item);
            editable->setExpanded(expanded.contains(toQString(id)));
            if (std::find(selected.begin(), selected.end(), id) != selected.end())
                editable->setSelected(true);
            if (id == current) setCurrentItem(editable, 0, QItemSelectionModel::NoUpdate);
        }
    }
    if (categoryIdOf(currentItem()) != current)
        emit currentCategoryChanged(categoryIdOf(currentItem()));
}

void CategoryTree::addNodes(const CLXCategoryList& list, QTreeWidgetItem* parent) {
    for (const auto& node : list) {
        if (node->deleted) continue;
        auto* item = new QTreeWidgetItem(parent);
        item->setText(0, toQString(node->category.DisplayName()));
        item->setData(0, kIdRole, toQString(node->category.id));
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDropEnabled;
        if (!node->category.fixed) flags |= Qt::ItemIsDragEnabled;
        item->setFlags(flags);
        if (node->category.fixed) {
            QFont font = item->font(0);
            font.setItalic(true);
            item->setFont(0, font);
        }
        addNodes(node->children, item);
    }
}

CLXCategoryListNode* CategoryTree::nodeOf(const QTreeWidgetItem* item) const {
    if (!item) return nullptr;
    const std::string id = categoryIdOf(item);
    CLXCategoryListNode* node = nullptr;
    return FindCategory(categories_, nullptr, &id, node) == 0 ? node : nullptr;
}

std::vector<std::string> CategoryTree::selectedIds() const {
    std::vector<const QTreeWidgetItem*> items;
    collectInOrder(invisibleRootItem(), items);
    std::vector<std::string> ids;
    for (const QTreeWidgetItem* item : items)
        if (item->isSelected()) ids.push_back(categoryIdOf(item));
    return ids;
}

std::vector<CLXCategoryListNode*> CategoryTree::selectedNodes() const {
    std::vector<CLXCategoryListNode*> nodes;
    for (const std::string& id : selectedIds()) {
        CLXCategoryListNode* node = nullptr;
        if (FindCategory(categories_, nullptr, &id, node) == 0 && !node->category.fixed)
            nodes.push_back(node);
    }
    return nodes;
}

CLXCategoryListNode* CategoryTree::currentNode() const { return nodeOf(currentItem()); }

void CategoryTree::selectId(const std::string& id) {
    std::vector<const QTreeWidgetItem*> items;
    collectInOrder(invisibleRootItem(), items);
    for (const QTreeWidgetItem* item : items) {
        if (categoryIdOf(item) != id) continue;
        auto* target = const_cast<QTreeWidgetItem*>(item);
        for (QTreeWidgetItem* parent = target->parent(); parent; parent = parent->parent())
            parent->setExpanded(true);
        setCurrentItem(target);
        return;
    }
}

bool CategoryTree::moveCategory(const std::string& id, const std::string& targetId) {
    CLXCategoryListNode* node = nullptr;
    CLXCategoryListNode* target = nullptr;
    if (FindCategory(categories_, nullptr, &id, node) != 0 ||
        FindCategory(categories_, nullptr, &targetId, target) != 0)
        return false;
    const int result = MoveCategory(categories_, node, target);
    if (result != 0) {
        emit moveRefused(result);
        return false;
    }
    reload();
    selectId(id);
    emit categoriesMoved();
    return true;
}

void CategoryTree::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasFormat(kCardIndexesMimeType)) {
        event->acceptProposedAction();
        return;
    }
    QTreeWidget::dragEnterEvent(event);
}

void CategoryTree::dragMoveEvent(QDragMoveEvent* event) {
    QTreeWidget::dragMoveEvent(event);
    const bool titles = event->mimeData()->hasFormat(kCardIndexesMimeType);
    if ((event->source() == this || titles) && itemAt(event->position().toPoint())) {
        if (titles) event->setDropAction(Qt::LinkAction);
        event->accept();
    }
}

// The tree does not move items itself: the category list decides, and the tree is reloaded.
void CategoryTree::dropEvent(QDropEvent* event) {
    QTreeWidgetItem* target = itemAt(event->position().toPoint());
    const QMimeData* mime = event->mimeData();
    if (!target || (event->source() != this && !mime->hasFormat(kCardIndexesMimeType))) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    const std::string targetId = categoryIdOf(target);
    if (mime->hasFormat(kCardIndexesMimeType)) {
        std::vector<int> cards;
        for (const QByteArray& number : mime->data(kCardIndexesMimeType).split(','))
            if (bool ok = false; number.toInt(&ok) >= 0 && ok) cards.push_back(number.toInt());
        if (!cards.empty()) emit titlesDropped(cards, targetId);
        return;
    }
    for (const CLXCategoryListNode* node : selectedNodes())
        moveCategory(node->category.id, targetId);
}
