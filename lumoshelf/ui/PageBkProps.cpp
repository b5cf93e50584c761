#include "ui/PageBkProps.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>

#include "library/LXCard.h"
#include "ui/TextConversion.h"
#include "ui/UiStrings.h"

CLXPageBkProps::CLXPageBkProps(QWidget* parent) : QWidget(parent) {
    auto* form = new QFormLayout;
    title_ = addRow(form, uiString(61450));
    author_ = addRow(form, uiString(61451));
    isbn_ = addRow(form, tr("ISBN"));
    publisher_ = addRow(form, tr("Publisher"));
    genre_ = addRow(form, tr("Genre"));
    version_ = addRow(form, tr("Version"));
    size_ = addRow(form, tr("Size"));
    location_ = addRow(form, tr("Location"));
    created_ = addRow(form, tr("Created"));
    modified_ = addRow(form, tr("Modified"));
    accessed_ = addRow(form, tr("Accessed"));
    annotations_ = new QCheckBox(tr("Annotations"), this);
    highlights_ = new QCheckBox(tr("Highlights"), this);
    notes_ = new QCheckBox(tr("Notes"), this);
    auto* markups = new QHBoxLayout;
    for (QCheckBox* box : {annotations_, highlights_, notes_}) {
        box->setAttribute(Qt::WA_TransparentForMouseEvents);
        box->setFocusPolicy(Qt::NoFocus);
        markups->addWidget(box);
    }
    markups->addStretch();
    form->addRow(uiString(311), markups);
    setLayout(form);
}

QLabel* CLXPageBkProps::addRow(QFormLayout* form, const QString& label) {
    auto* value = new QLabel(this);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    value->setWordWrap(true);
    form->addRow(label + ':', value);
    return value;
}

int CLXPageBkProps::FillFromCard(const CLXCard& card) {
    CLXBookProperties shown;
    const int result = shown.FillFromCard(card);
    const std::pair<QLabel*, const std::string*> texts[] = {
        {title_, &shown.title},         {author_, &shown.author},     {isbn_, &shown.isbn},
        {publisher_, &shown.publisher}, {genre_, &shown.genre},       {version_, &shown.version},
        {size_, &shown.size},           {location_, &shown.location}, {created_, &shown.created},
        {modified_, &shown.modified},   {accessed_, &shown.accessed},
    };
    for (const auto& [label, text] : texts) label->setText(toQString(*text));
    annotations_->setChecked(shown.annotations);
    highlights_->setChecked(shown.highlights);
    notes_->setChecked(shown.notes);
    return result;
}

void showTitleProperties(const CLXCard& card, QWidget* parent) {
    QDialog sheet(parent);
    sheet.setWindowTitle(QObject::tr("Title Properties"));
    auto* tabs = new QTabWidget(&sheet);
    auto* page = new CLXPageBkProps;
    page->FillFromCard(card);
    tabs->addTab(page, QObject::tr("General"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &sheet);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &sheet, &QDialog::reject);
    auto* layout = new QVBoxLayout(&sheet);
    layout->addWidget(tabs);
    layout->addWidget(buttons);
    sheet.resize(480, sheet.sizeHint().height());
    sheet.exec();
}
