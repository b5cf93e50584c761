#include "ui/SearchPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace {

QComboBox* choiceBox(QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(12);
    box->addItem(QObject::tr("(any)"));
    return box;
}

QStringList chosen(const QComboBox* box) {
    return box->currentIndex() > 0 ? QStringList{box->currentText()} : QStringList{};
}

void refill(QComboBox* box, const QStringList& names) {
    const QString current = box->currentIndex() > 0 ? box->currentText() : QString();
    const QSignalBlocker quiet(box);
    while (box->count() > 1) box->removeItem(1);
    box->addItems(names);
    const int index = current.isEmpty() ? 0 : box->findText(current, Qt::MatchExactly);
    box->setCurrentIndex(index < 0 ? 0 : index);
}

}  // namespace

SearchPanel::SearchPanel(QWidget* parent)
    : QWidget(parent),
      author_(choiceBox(this)),
      username_(choiceBox(this)),
      keywords_(new QLineEdit(this)),
      onReader_(new QCheckBox(tr("On reader only"), this)),
      withMarkups_(new QCheckBox(tr("With markups only"), this)) {
    keywords_->setPlaceholderText(tr("Words in title, author, publisher..."));
    keywords_->setClearButtonEnabled(true);
    auto* form = new QFormLayout;
    form->addRow(tr("&Keywords:"), keywords_);
    form->addRow(tr("&Author:"), author_);
    form->addRow(tr("O&wner:"), username_);
    auto* clear = new QPushButton(tr("&Clear Search"), this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(form);
    layout->addWidget(onReader_);
    layout->addWidget(withMarkups_);
    layout->addWidget(clear, 0, Qt::AlignRight);

    connect(keywords_, &QLineEdit::textChanged, this, &SearchPanel::changed);
    connect(author_, &QComboBox::currentIndexChanged, this, &SearchPanel::changed);
    connect(username_, &QComboBox::currentIndexChanged, this, &SearchPanel::changed);
    connect(onReader_, &QCheckBox::toggled, this, &SearchPanel::changed);
    connect(withMarkups_, &QCheckBox::toggled, this, &SearchPanel::changed);
    connect(clear, &QPushButton::clicked, this, [this] {
        setFields({});
        emit changed();
    });
}

SearchFields SearchPanel::fields() const {
    SearchFields fields;
    fields.authors = chosen(author_);
    fields.usernames = chosen(username_);
    fields.keywords =
        keywords_->text().split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    fields.onReaderOnly = onReader_->isChecked();
    fields.withMarkupsOnly = withMarkups_->isChecked();
    return fields;
}

void SearchPanel::setFields(const SearchFields& fields) {
    const QSignalBlocker quiet(this);
    const QList<QWidget*> all{keywords_, author_, username_, onReader_, withMarkups_};
    for (QWidget* field : all) field->blockSignals(true);
    keywords_->setText(fields.keywords.join(' '));
    const auto choose = [](QComboBox* box, const QStringList& names) {
        const int index = names.isEmpty() ? 0 : box->findText(names.front(), Qt::MatchExactly);
        box->setCurrentIndex(index < 0 ? 0 : index);
    };
    choose(author_, fields.authors);
    choose(username_, fields.usernames);
    onReader_->setChecked(fields.onReaderOnly);
    withMarkups_->setChecked(fields.withMarkupsOnly);
    for (QWidget* field : all) field->blockSignals(false);
}

void SearchPanel::setChoices(const QStringList& authors, const QStringList& usernames) {
    refill(author_, authors);
    refill(username_, usernames);
}
