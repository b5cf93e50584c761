#pragma once

#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "ui/ReaderActions.h"

class AppMessageEvent;
class AppMessageTarget;
class CLXCard;
class CLXLibraryDoc;
class CLXSettingsStore;
class CLibListView;
class CategoryTree;
class LibraryWindowUi;
class QLabel;
class QSplitter;
class QToolButton;
class SearchPanel;
class UserPrompts;

// The library actions of the menus, the tool bar and the list's context menu.
struct LibraryActions {
    QAction* importTitles = nullptr;
    QAction* importFolder = nullptr;
    QAction* deleteFiles = nullptr;
    QAction* deleteTitles = nullptr;
    QAction* removeMarkups = nullptr;
    QAction* categorise = nullptr;
    QAction* properties = nullptr;
    QAction* newCategory = nullptr;
    QAction* moveCategory = nullptr;
    QAction* deleteCategory = nullptr;
    QAction* emptyNew = nullptr;
};

// The main window: the category tree and search panel beside the title list, the menus and tool
// bar that reach every library command, and the status bar with the reader's state and the
// number of titles shown.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(CLXLibraryDoc& document, CLXSettingsStore& profile, UserPrompts& prompts,
               LibraryWindowUi& documentUi, QWidget* parent = nullptr);
    ~MainWindow() override;

    CLibListView& listView() const { return *list_; }
    CategoryTree& categoryTree() const { return *tree_; }
    SearchPanel& searchPanel() const { return *search_; }
    const LibraryActions& libraryActions() const { return actions_; }
    const ReaderActions& readerActions() const { return reader_; }
    QLabel& readerStatePane() const { return *readerPane_; }
    QLabel& titleCountPane() const { return *titlesPane_; }

    // Handlers for application messages posted to this window (WM_APP_...), for the parts that
    // post them; WM_APP_TITLE_COUNT is handled here.
    void setAppMessageHandler(unsigned message,
                              std::function<void(const AppMessageEvent&)> handler);
    // Where other threads post their messages to this window.
    std::shared_ptr<AppMessageTarget> messageTarget() const { return messageTarget_; }

    // After the document is open: shows its categories, filter and titles.
    void showLibrary();
    // Shows the window as the profile last saw it (normal, minimised or maximised).
    void showFromProfile();
    void bringToFront();

    // A file from the command line or from a second start.
    void openCommandLineFile(const QString& path);
    // Files and folders dropped on the window or chosen in the import dialogs.
    void importPaths(const QStringList& paths);

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createToolBar();
    void createStatusBar();
    void restoreLayout();
    void writeFrameSettings();
    void updateSelectionActions();

    void chooseTitlesToImport();
    void chooseFolderToImport();
    void deleteSelectedTitles(bool removeCards);
    void removeSelectedMarkups();
    void categoriseSelected();
    void offerToSend(const CLXCard& card);
    void fileUnderCategory(const std::vector<int>& cards, const std::string& categoryId);
    void showSelectedProperties();
    void newCategory();
    void moveCurrentCategory();
    void deleteSelectedCategories();
    void emptyNewCategory();
    void applySearch();
    void showFilterInSearch();
    void refreshSearchChoices();
    void afterLibraryChange();

    CLXLibraryDoc& document_;
    CLXSettingsStore& profile_;
    UserPrompts& prompts_;
    LibraryWindowUi& documentUi_;
    CategoryTree* tree_;
    SearchPanel* search_;
    CLibListView* list_;
    QSplitter* splitter_;
    QToolButton* importButton_ = nullptr;
    QLabel* readerPane_ = nullptr;
    QLabel* titlesPane_ = nullptr;
    LibraryActions actions_;
    ReaderActions reader_;
    std::map<unsigned, std::function<void(const AppMessageEvent&)>> handlers_;
    std::shared_ptr<AppMessageTarget> messageTarget_;
    bool libraryShown_ = false;
    QStringList waitingFiles_;
};
