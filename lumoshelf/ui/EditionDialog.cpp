#include "ui/EditionDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "library/StringTable.h"
#include "ui/TextConversion.h"

namespace {

constexpr unsigned kCreateTitleCaption = 61515;
constexpr int kMostLevels = 99;

QLineEdit* lineEdit(const std::string& text, QWidget* parent) {
    auto* edit = new QLineEdit(toQString(text), parent);
    edit->setMinimumWidth(360);
    return edit;
}

}  // namespace

EditionDialog::EditionDialog(const EditionChoices& choices, QWidget* parent)
    : QDialog(parent),
      source_(lineEdit(choices.source, this)),
      title_(lineEdit(choices.title, this)),
      author_(lineEdit(choices.author, this)),
      subExpression_(lineEdit(choices.subExpression, this)),
      levels_(new QSpinBox(this)),
      images_(new QCheckBox(tr("Include &images"), this)),
      links_(new QCheckBox(tr("Follow &links"), this)) {
    setWindowTitle(toQString(LXString(kCreateTitleCaption)));
    title_->setPlaceholderText(tr("The document's own title"));
    subExpression_->setPlaceholderText(tr("Any link"));
    subExpression_->setToolTip(
        tr("Only links whose address matches this regular expression "
           "are followed."));
    levels_->setRange(0, kMostLevels);
    levels_->setValue(std::clamp(choices.levels, 0, kMostLevels));
    images_->setChecked(choices.images);
    links_->setChecked(choices.links);
    levels_->setEnabled(choices.links);
    subExpression_->setEnabled(choices.links);
    connect(links_, &QCheckBox::toggled, levels_, &QWidget::setEnabled);
    connect(links_, &QCheckBox::toggled, subExpression_, &QWidget::setEnabled);

    auto* form = new QFormLayout;
    form->addRow(tr("&Source:"), source_);
    form->addRow(tr("&Title:"), title_);
    form->addRow(tr("&Author:"), author_);
    form->addRow(QString(), images_);
    form->addRow(QString(), links_);
    form->addRow(tr("Link &depth:"), levels_);
    form->addRow(tr("Links &matching:"), subExpression_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

EditionChoices EditionDialog::choices() const {
    EditionChoices choices;
    choices.source = toBytes(source_->text().trimmed());
    choices.title = toBytes(title_->text().trimmed());
    choices.author = toBytes(author_->text().trimmed());
    choices.subExpression = toBytes(subExpression_->text());
    choices.levels = levels_->value();
    choices.images = images_->isChecked();
    choices.links = links_->isChecked();
    return choices;
}
