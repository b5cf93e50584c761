#pragma once

#include <QTreeView>
#include <vector>

class CLXLibraryDoc;
class CLXSettingsStore;
class TitleListModel;

// The title list: a report list of the cards that pass the filter, sorted by a click on a
// heading, keeping its column widths, column order and sort in the profile between runs.
class CLibListView : public QTreeView {
    Q_OBJECT
public:
    // countReceiver gets WM_APP_TITLE_COUNT after every rebuild (the main window).
    CLibListView(CLXLibraryDoc& document, CLXSettingsStore& profile, QObject* countReceiver,
                 QWidget* parent = nullptr);
    ~CLibListView() override;

    TitleListModel& titleModel() const { return *model_; }

    // Rebuilds the rows from the document (the document's "library or filter changed" hint).
    int rebuildRows();

    // The document indexes of the selected cards, in list order.
    std::vector<int> selectedCards() const;

    void writeLayoutSettings();

signals:
    // Files or folders dropped on the list, to be imported.
    void filesDropped(const QStringList& paths);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void readLayoutSettings();
    void showSortIndicator();

    TitleListModel* model_;
    CLXSettingsStore& profile_;
    QObject* countReceiver_;
};
