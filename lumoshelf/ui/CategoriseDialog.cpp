#include "ui/CategoriseDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/CategoryTree.h"
#include "ui/UiStrings.h"
#include "ui/UserPrompts.h"

CategoriseDialog::CategoriseDialog(CLXCategoryList& categories,
                                   const std::vector<std::string>& preselected, bool severalTitles,
                                   UserPrompts& prompts, QWidget* parent)
    : QDialog(parent),
      tree_(new CategoryTree(categories, this)),
      buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)),
      prompts_(prompts) {
    setWindowTitle(tr("Categorise Titles"));
    tree_->setDragDropMode(QAbstractItemView::NoDragDrop);
    tree_->setSelectionMode(QAbstractItemView::MultiSelection);
    tree_->expandAll();
    if (!severalTitles) {
        for (const std::string& id : preselected) {
            const QList<QTreeWidgetItem*> items =
                tree_->findItems(QStringLiteral("*"), Qt::MatchWildcard | Qt::MatchRecursive);
            for (QTreeWidgetItem* item : items)
                if (categoryIdOf(item) == id) item->setSelected(true);
        }
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("File the selected titles under these categories:"), this));
    layout->addWidget(tree_);
    layout->addWidget(buttons_);
    connect(buttons_, &QDialogButtonBox::accepted, this, &CategoriseDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &CategoriseDialog::reject);
    if (severalTitles) buttons_->button(QDialogButtonBox::Cancel)->setFocus();
    resize(360, 420);
}

void CategoriseDialog::accept() {
    chosen_ = tree_->selectedIds();
    if (chosen_.empty()) {
        prompts_.tell(programName(), uiMessage(CATEGORY_ERR_NONE_SELECTED),
                      UserPrompts::Icon::Stop);
        return;
    }
    QDialog::accept();
}
