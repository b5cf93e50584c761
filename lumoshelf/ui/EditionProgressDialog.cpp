#include "ui/EditionProgressDialog.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>
#include <algorithm>

#include "library/StringTable.h"
#include "ui/TextConversion.h"

namespace {

constexpr unsigned kCreateTitleCaption = 61515;
constexpr int kBusyCounterTop = 99;

}  // namespace

EditionProgressDialog::EditionProgressDialog(QWidget* parent)
    : QDialog(parent),
      text_(new QLabel(this)),
      status_(new QLabel(this)),
      bar_(new QProgressBar(this)) {
    setWindowTitle(toQString(LXString(kCreateTitleCaption)));
    setModal(true);
    text_->setMinimumWidth(420);
    text_->setTextFormat(Qt::PlainText);
    status_->setTextFormat(Qt::PlainText);
    bar_->setTextVisible(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(status_);
    layout->addWidget(bar_);
}

void EditionProgressDialog::ShowPosition(int range, int position) {
    bar_->setRange(0, std::max(range, position));
    bar_->setValue(position);
    repaintNow();
}

void EditionProgressDialog::ShowBusy(int counter) {
    bar_->setRange(0, kBusyCounterTop);
    bar_->setValue(counter);
    repaintNow();
}

void EditionProgressDialog::SetText(const std::string& text) {
    text_->setText(toQString(text));
    repaintNow();
}

void EditionProgressDialog::SetStatusText(const std::string& text) {
    status_->setText(toQString(text));
    repaintNow();
}

// The converter cannot be stopped half way; Escape and the close button wait for it.
void EditionProgressDialog::reject() {}

void EditionProgressDialog::repaintNow() {
    if (!isVisible()) show();
    QCoreApplication::processEvents();
}
