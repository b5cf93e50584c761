#pragma once

#include <QDialog>
#include <string>
#include <vector>

class CLXConfigPage;
class QTabWidget;

// The modal "Configuration" sheet of the reader's settings: one tab per page, OK and Cancel.
// A page is activated each time it becomes the current tab (the first one when the sheet
// opens). OK applies the pages that were shown, in tab order; a page that refuses keeps the
// sheet open on that page, and what the pages before it queued in this attempt is taken back.
class CLXConfigSheet : public QDialog {
    Q_OBJECT
public:
    // sendList: the list the pages append to, given to each page as well.
    explicit CLXConfigSheet(std::vector<std::string>& sendList, QWidget* parent = nullptr);

    // The sheet owns the page; its title, with "&&" for a plain "&", names the tab.
    void AddPage(CLXConfigPage* page);
    CLXConfigPage* Page(int index) const;
    int PageCount() const;
    void SetCurrentPage(int index);

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ActivateCurrent();

    std::vector<std::string>& m_sendList;
    QTabWidget* m_tabs;
    std::vector<CLXConfigPage*> m_pages;
};
