#include "settings/LXConfigSheet.h"

#include <QDialogButtonBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "library/StringTable.h"
#include "settings/LXConfigPage.h"
#include "ui/TextConversion.h"

namespace {

constexpr unsigned kSheetCaption = 61496;

}  // namespace

CLXConfigSheet::CLXConfigSheet(std::vector<std::string>& sendList, QWidget* parent)
    : QDialog(parent), m_sendList(sendList), m_tabs(new QTabWidget) {
    setWindowTitle(toQString(LXString(kSheetCaption)));
    setModal(true);
    m_tabs->setObjectName("pages");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CLXConfigSheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CLXConfigSheet::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);
    connect(m_tabs, &QTabWidget::currentChanged, this, [this] {
        if (isVisible()) ActivateCurrent();
    });
}

void CLXConfigSheet::AddPage(CLXConfigPage* page) {
    m_pages.push_back(page);
    m_tabs->addTab(page, page->Title());
}

CLXConfigPage* CLXConfigSheet::Page(int index) const {
    return index >= 0 && index < PageCount() ? m_pages[static_cast<std::size_t>(index)] : nullptr;
}

int CLXConfigSheet::PageCount() const { return static_cast<int>(m_pages.size()); }

void CLXConfigSheet::SetCurrentPage(int index) { m_tabs->setCurrentIndex(index); }

void CLXConfigSheet::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ActivateCurrent();
}

void CLXConfigSheet::ActivateCurrent() {
    if (CLXConfigPage* page = Page(m_tabs->currentIndex())) page->Activate();
}

void CLXConfigSheet::accept() {
    const std::size_t queuedBefore = m_sendList.size();
    for (int i = 0; i < PageCount(); ++i) {
        CLXConfigPage& page = *m_pages[static_cast<std::size_t>(i)];
        if (!page.WasShown()) continue;
        if (!page.OnApply()) {
            // The next OK applies every page again; nothing of this attempt may stay queued.
            m_sendList.resize(queuedBefore);
            m_tabs->setCurrentIndex(i);
            return;
        }
    }
    QDialog::accept();
}
