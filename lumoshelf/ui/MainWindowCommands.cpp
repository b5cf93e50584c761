// The library commands of the main window: importing, deleting, markups, categories, the
// properties sheet and the search.
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QSet>
#include <QTreeWidgetItemIterator>
#include <algorithm>

#include "library/LXLibraryDoc.h"
#include "ui/CategoriseDialog.h"
#include "ui/CategoryTree.h"
#include "ui/LibListView.h"
#include "ui/MainWindow.h"
#include "ui/PageBkProps.h"
#include "ui/SearchPanel.h"
#include "ui/TextConversion.h"
#include "ui/TitleImport.h"
#include "ui/TitleListModel.h"
#include "ui/UiStrings.h"
#include "ui/UserPrompts.h"

namespace {

constexpr unsigned kDeleteFailed = 61474;
constexpr unsigned kDeleteMarkupsQuestion = 314;
constexpr unsigned kDeleteCategoriesQuestion = 361;
constexpr unsigned kNewCategoryName = 362;
constexpr unsigned kSendNowQuestion = 61485;

QStringList sortedChoices(QSet<QString> names) {
    QStringList list(names.begin(), names.end());
    list.sort(Qt::CaseInsensitive);
    return list;
}

}  // namespace

void MainWindow::importPaths(const QStringList& paths) {
    if (paths.size() == 1 && QFileInfo(paths.front()).isFile()) {
        openCommandLineFile(paths.front());
        return;
    }
    const QStringList files = importableFiles(paths);
    if (files.isEmpty()) return;
    const ImportOutcome outcome = importTitles(document_, files, this);
    afterLibraryChange();
    list_->rebuildRows();
    if (const QString summary = importSummary(outcome); !summary.isEmpty())
        prompts_.tell(uiString(61454), summary, UserPrompts::Icon::Information);
}

void MainWindow::chooseTitlesToImport() {
    const QStringList files = QFileDialog::getOpenFileNames(
        this, tr("Import Titles"), {}, tr("Lumo eBook editions (*.lx *.LX);;All files (*)"));
    if (!files.isEmpty()) importPaths(files);
}

void MainWindow::chooseFolderToImport() {
    const QString folder = QFileDialog::getExistingDirectory(this, tr("Import Folder"));
    if (!folder.isEmpty()) importPaths({folder});
}

void MainWindow::deleteSelectedTitles(bool removeCards) {
    const std::vector<int> cards = list_->selectedCards();
    if (cards.empty()) return;
    const QString question =
        removeCards ? tr("Delete the %n selected title(s) and their files from the library?", "",
                         int(cards.size()))
                    : tr("Delete the files of the %n selected title(s)? The titles stay in the "
                         "library.",
                         "", int(cards.size()));
    if (!prompts_.ask(programName(), question)) return;
    for (const int card : cards) document_.SetDeleteMarks(card, true, removeCards);
    if (document_.DeleteMarkedTitles() != 0)
        prompts_.tell(programName(), uiMessage(kDeleteFailed), UserPrompts::Icon::Stop);
    afterLibraryChange();
}

void MainWindow::removeSelectedMarkups() {
    const std::vector<int> cards = list_->selectedCards();
    if (cards.empty() || !prompts_.ask(programName(), uiMessage(kDeleteMarkupsQuestion))) return;
    int failure = 0;
    for (const int card : cards)
        if (const int result = document_.RemoveMarkups(card); result != 0 && failure == 0)
            failure = result;
    document_.Save();
    for (const int card : cards) list_->titleModel().cardChanged(card);
    if (failure != 0)
        prompts_.tell(programName(), uiMessage(unsigned(failure)), UserPrompts::Icon::Stop);
}

void MainWindow::categoriseSelected() {
    const std::vector<int> cards = list_->selectedCards();
    if (cards.empty()) return;
    CategoriseDialog dialog(document_.Categories(), document_.CardAt(cards.front()).categories,
                            cards.size() > 1, prompts_, this);
    if (dialog.exec() != QDialog::Accepted) return;
    for (const int index : cards) {
        CLXCard card = document_.GetCard(index);
        card.categories = dialog.chosenIds();
        document_.SetCard(index, card);
    }
    document_.Save();
    list_->rebuildRows();
}

// A title just added can go to the reader at once, while sending works (the reader is there).
void MainWindow::offerToSend(const CLXCard& card) {
    if (!reader_.send->isEnabled()) return;
    const int row = list_->titleModel().rowOfCard(document_.FindCard(card.username, card.url));
    if (row < 0 || !prompts_.ask(programName(), uiString(kSendNowQuestion))) return;
    list_->selectionModel()->select(
        list_->titleModel().index(row, 0),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    reader_.send->trigger();
}

// Titles dropped on a category are filed under it too; the built-in "<All>" files nothing.
void MainWindow::fileUnderCategory(const std::vector<int>& cards, const std::string& categoryId) {
    if (categoryId == kAllCategoryId) return;
    for (const int index : cards) {
        if (index >= document_.GetCardCount()) continue;
        CLXCard card = document_.GetCard(index);
        if (std::find(card.categories.begin(), card.categories.end(), categoryId) !=
            card.categories.end())
            continue;
        if (categoryId != kUnfiledCategoryId)
            std::erase(card.categories, std::string(kUnfiledCategoryId));
        card.categories.push_back(categoryId);
        document_.SetCard(index, card);
    }
    document_.Save();
    list_->rebuildRows();
}

void MainWindow::showSelectedProperties() {
    const std::vector<int> cards = list_->selectedCards();
    if (!cards.empty()) showTitleProperties(document_.CardAt(cards.front()), this);
}

void MainWindow::newCategory() {
    bool ok = false;
    const QString name = QInputDialog::getText(this, tr("New Category"), tr("Category name:"),
                                               QLineEdit::Normal, uiString(kNewCategoryName), &ok)
                             .trimmed();
    if (!ok || name.isEmpty()) return;
    CLXCategory category;
    if (const int result = category.InitCategory(toBytes(name), 0, std::nullopt, false);
        result != 0) {
        prompts_.tell(programName(), uiMessage(unsigned(result)), UserPrompts::Icon::Stop);
        return;
    }
    CLXCategoryListNode* node = nullptr;
    AddUnderSelection(document_.Categories(), tree_->currentNode(), category, node);
    document_.Save();
    tree_->reload();
    if (node) tree_->selectId(node->category.id);
}

// The keyboard's way of dragging a category onto another.
void MainWindow::moveCurrentCategory() {
    const CLXCategoryListNode* node = tree_->currentNode();
    if (!node || node->category.fixed) return;
    const std::string id = node->category.id;
    QStringList names;
    std::vector<std::string> ids;
    for (QTreeWidgetItemIterator it(tree_); *it; ++it) {
        if (categoryIdOf(*it) == id) continue;
        int depth = 0;
        for (const QTreeWidgetItem* up = (*it)->parent(); up; up = up->parent()) ++depth;
        names << QString(depth * 4, ' ') + (*it)->text(0);
        ids.push_back(categoryIdOf(*it));
    }
    bool ok = false;
    const QString chosen =
        QInputDialog::getItem(this, tr("Move Category"),
                              tr("Move \"%1\" under:").arg(toQString(node->category.DisplayName())),
                              names, 0, false, &ok);
    if (ok) tree_->moveCategory(id, ids[size_t(names.indexOf(chosen))]);
}

void MainWindow::deleteSelectedCategories() {
    const std::vector<CLXCategoryListNode*> nodes = tree_->selectedNodes();
    if (nodes.empty() || !prompts_.ask(programName(), uiMessage(kDeleteCategoriesQuestion))) return;
    MarkDeleted(nodes);
    document_.PurgeMissingCategories();
    document_.Save();
    tree_->reload();
    applySearch();
}

void MainWindow::emptyNewCategory() {
    document_.RemoveCategoryFromCards(kNewCategoryId);
    document_.Save();
}

void MainWindow::applySearch() {
    const SearchFields fields = search_->fields();
    CLXFilter filter;
    for (const QString& author : fields.authors) filter.AddAuthor(toBytes(author));
    for (const QString& owner : fields.usernames) filter.AddUsername(toBytes(owner));
    for (const QString& word : fields.keywords) filter.AddKeyword(toBytes(word));
    filter.onReaderOnly = fields.onReaderOnly;
    filter.withMarkupsOnly = fields.withMarkupsOnly;
    const std::string category = categoryIdOf(tree_->currentItem());
    filter.categories.push_back(category.empty() ? std::string(kAllCategoryId) : category);
    document_.SetFilter(filter);
}

// The filter kept in the library file comes back into the search fields and the tree.
void MainWindow::showFilterInSearch() {
    const CLXFilter& filter = document_.Filter();
    const auto texts = [](const std::vector<std::string>& values) {
        QStringList list;
        for (const std::string& value : values) list << toQString(value);
        return list;
    };
    search_->setFields({texts(filter.authors), texts(filter.usernames), texts(filter.keywords),
                        filter.onReaderOnly, filter.withMarkupsOnly});
    const QSignalBlocker quietTree(tree_);
    tree_->selectId(filter.categories.empty() ? std::string(kAllCategoryId)
                                              : filter.categories.front());
}

void MainWindow::refreshSearchChoices() {
    QSet<QString> authors, owners;
    for (int i = 0; i < document_.GetCardCount(); ++i) {
        const CLXCard& card = document_.CardAt(i);
        if (!card.author.empty()) authors << toQString(card.author);
        if (!card.username.empty()) owners << toQString(card.username);
    }
    search_->setChoices(sortedChoices(authors), sortedChoices(owners));
}

void MainWindow::afterLibraryChange() {
    tree_->reload();
    refreshSearchChoices();
}

void MainWindow::updateSelectionActions() {
    const bool titles = list_->selectionModel() && list_->selectionModel()->hasSelection();
    for (QAction* action : {actions_.deleteFiles, actions_.deleteTitles, actions_.removeMarkups,
                            actions_.categorise, actions_.properties})
        action->setEnabled(titles);
    actions_.deleteCategory->setEnabled(!tree_->selectedNodes().empty());
    const CLXCategoryListNode* current = tree_->currentNode();
    actions_.moveCategory->setEnabled(current && !current->category.fixed);
}
