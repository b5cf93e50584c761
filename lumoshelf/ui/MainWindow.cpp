#include "ui/MainWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "library/AppMessages.h"
#include "library/LXLibraryDoc.h"
#include "library/SettingsStore.h"
#include "ui/ActionIcons.h"
#include "ui/AppMessageEvent.h"
#include "ui/CategoryTree.h"
#include "ui/LibListView.h"
#include "ui/LibraryWindowUi.h"
#include "ui/SearchPanel.h"
#include "ui/StartupSettings.h"
#include "ui/TextConversion.h"
#include "ui/TitleListModel.h"
#include "ui/UiStrings.h"
#include "ui/UserPrompts.h"

namespace {

const std::string kFrame = "Frame Settings";
constexpr std::uint32_t kImportTitlesCommand = 32863;
constexpr std::uint32_t kImportFolderCommand = 32864;
constexpr unsigned kTitleCountText = 59144;

std::uint32_t profileNumber(const CLXSettingsStore& profile, const std::string& key,
                            std::uint32_t fallback) {
    std::uint32_t value = fallback;
    profile.ReadNumber(kFrame, key, value);
    return value;
}

QAction* makeAction(QObject* parent, const QString& text, const QString& icon,
                    const QKeySequence& keys, const QString& tip) {
    auto* action = new QAction(actionIcon(icon), text, parent);
    action->setShortcut(keys);
    action->setStatusTip(tip);
    return action;
}

QStringList localFiles(const QMimeData* mime) {
    QStringList paths;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    return paths;
}

}  // namespace

MainWindow::MainWindow(CLXLibraryDoc& document, CLXSettingsStore& profile, UserPrompts& prompts,
                       LibraryWindowUi& documentUi, QWidget* parent)
    : QMainWindow(parent),
      document_(document),
      profile_(profile),
      prompts_(prompts),
      documentUi_(documentUi),
      tree_(new CategoryTree(document.Categories())),
      search_(new SearchPanel),
      list_(new CLibListView(document, profile, this)),
      splitter_(new QSplitter(Qt::Horizontal, this)),
      messageTarget_(std::make_shared<AppMessageTarget>(this)) {
    setWindowTitle(programName());
    setWindowIcon(QIcon::fromTheme("x-office-address-book"));
    setAcceptDrops(true);
    documentUi_.setListView(list_);
    documentUi_.setTitleReported([this](const CLXCard& card) { offerToSend(card); });

    auto* side = new QWidget;
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(4, 4, 0, 4);
    sideLayout->addWidget(tree_, 1);
    sideLayout->addWidget(search_);
    splitter_->addWidget(side);
    splitter_->addWidget(list_);
    splitter_->setStretchFactor(1, 1);
    setCentralWidget(splitter_);

    reader_ = createReaderActions(this);
    createActions();
    createMenus();
    createToolBar();
    createStatusBar();
    restoreLayout();

    connect(tree_, &CategoryTree::currentCategoryChanged, this, &MainWindow::applySearch);
    connect(tree_, &CategoryTree::categoriesMoved, this, [this] { document_.Save(); });
    connect(tree_, &CategoryTree::moveRefused, this, [this](int code) {
        prompts_.tell(programName(), uiMessage(unsigned(code)), UserPrompts::Icon::Stop);
    });
    connect(tree_, &CategoryTree::titlesDropped, this, &MainWindow::fileUnderCategory);
    connect(tree_, &QTreeWidget::itemSelectionChanged, this, &MainWindow::updateSelectionActions);
    connect(tree_, &CategoryTree::currentCategoryChanged, this,
            &MainWindow::updateSelectionActions);
    connect(search_, &SearchPanel::changed, this, &MainWindow::applySearch);
    auto* findAction = new QAction(tr("Find"), this);
    findAction->setShortcut(QKeySequence::Find);
    connect(findAction, &QAction::triggered, this, [this] {
        search_->keywordEdit()->setFocus();
        search_->keywordEdit()->selectAll();
    });
    addAction(findAction);
    connect(list_, &CLibListView::filesDropped, this, &MainWindow::importPaths);
    connect(list_, &QTreeView::activated, this, &MainWindow::showSelectedProperties);
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &MainWindow::updateSelectionActions);
    connect(&list_->titleModel(), &QAbstractItemModel::modelReset, this,
            &MainWindow::updateSelectionActions);
    updateSelectionActions();
}

MainWindow::~MainWindow() {
    messageTarget_->detach();
    documentUi_.setTitleReported({});
    documentUi_.setListView(nullptr);
}

void MainWindow::createActions() {
    actions_.importTitles = makeAction(this, tr("&Import Titles..."), "document-open",
                                       QKeySequence::Open, tr("Add edition files to the library"));
    actions_.importFolder =
        makeAction(this, tr("Import &Folder..."), "folder-open", QKeySequence(tr("Ctrl+Shift+O")),
                   tr("Add every edition in a folder and its sub-folders to the library"));
    actions_.deleteFiles =
        makeAction(this, tr("Delete Title &Files"), "edit-clear", QKeySequence::Delete,
                   tr("Delete the edition files, keep the titles' cards"));
    actions_.deleteTitles =
        makeAction(this, tr("&Delete Titles"), "edit-delete", QKeySequence(tr("Shift+Del")),
                   tr("Delete the edition files and remove the titles from the library"));
    actions_.removeMarkups = makeAction(this, tr("Remove &Markups"), "edit-clear-all", {},
                                        tr("Delete the markups kept for the selected titles"));
    actions_.categorise = makeAction(this, tr("&Categorise..."), "tag", QKeySequence(tr("Ctrl+K")),
                                     tr("File the selected titles under categories"));
    actions_.properties =
        makeAction(this, tr("&Properties"), "document-properties", QKeySequence(tr("Alt+Return")),
                   tr("Show the details of the selected title"));
    actions_.newCategory =
        makeAction(this, tr("&New Category..."), "folder-new", QKeySequence(tr("Ctrl+N")),
                   tr("Add a category under the selected one"));
    actions_.moveCategory = makeAction(this, tr("&Move Category To..."), "go-jump", {},
                                       tr("Move the selected category under another one"));
    actions_.deleteCategory = makeAction(this, tr("De&lete Categories"), "edit-delete", {},
                                         tr("Delete the selected categories"));
    actions_.emptyNew = makeAction(this, tr("&Empty \"%1\"").arg(uiString(360)), "edit-clear", {},
                                   tr("Take every title out of the new titles category"));

    connect(actions_.importTitles, &QAction::triggered, this, &MainWindow::chooseTitlesToImport);
    connect(actions_.importFolder, &QAction::triggered, this, &MainWindow::chooseFolderToImport);
    connect(actions_.deleteFiles, &QAction::triggered, this,
            [this] { deleteSelectedTitles(false); });
    connect(actions_.deleteTitles, &QAction::triggered, this,
            [this] { deleteSelectedTitles(true); });
    connect(actions_.removeMarkups, &QAction::triggered, this, &MainWindow::removeSelectedMarkups);
    connect(actions_.categorise, &QAction::triggered, this, &MainWindow::categoriseSelected);
    connect(actions_.properties, &QAction::triggered, this, &MainWindow::showSelectedProperties);
    connect(actions_.newCategory, &QAction::triggered, this, &MainWindow::newCategory);
    connect(actions_.moveCategory, &QAction::triggered, this, &MainWindow::moveCurrentCategory);
    connect(actions_.deleteCategory, &QAction::triggered, this,
            &MainWindow::deleteSelectedCategories);
    connect(actions_.emptyNew, &QAction::triggered, this, &MainWindow::emptyNewCategory);
}

void MainWindow::createMenus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(actions_.importTitles);
    file->addAction(actions_.importFolder);
    file->addSeparator();
    file->addAction(actionIcon("application-exit"), tr("E&xit"), QKeySequence::Quit, this,
                    &QWidget::close);

    QMenu* title = menuBar()->addMenu(tr("&Title"));
    for (QAction* action : {actions_.properties, actions_.categorise, actions_.removeMarkups})
        title->addAction(action);
    title->addSeparator();
    title->addAction(actions_.deleteFiles);
    title->addAction(actions_.deleteTitles);

    QMenu* categories = menuBar()->addMenu(tr("&Categories"));
    categories->addAction(actions_.newCategory);
    categories->addAction(actions_.moveCategory);
    categories->addAction(actions_.deleteCategory);
    categories->addSeparator();
    categories->addAction(actions_.emptyNew);

    QMenu* readerMenu = menuBar()->addMenu(tr("&Reader"));
    readerMenu->addAction(reader_.send);
    readerMenu->addAction(reader_.readTitles);
    readerMenu->addSeparator();
    readerMenu->addAction(reader_.readerSettings);
    readerMenu->addAction(reader_.serialPort);
    readerMenu->addAction(reader_.softwareUpdate);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->addAction(tr("&About lumoshelf"), this, [this] {
        prompts_.tell(tr("About lumoshelf"),
                      tr("lumoshelf %1\nA library manager for the Lumo eBook.")
                          .arg(toQString(ProductVersion())),
                      UserPrompts::Icon::Information);
    });

    list_->setContextMenuPolicy(Qt::ActionsContextMenu);
    list_->addActions({actions_.properties, actions_.categorise, reader_.send,
                       actions_.removeMarkups, actions_.deleteFiles, actions_.deleteTitles});
    tree_->setContextMenuPolicy(Qt::ActionsContextMenu);
    tree_->addActions(
        {actions_.newCategory, actions_.moveCategory, actions_.deleteCategory, actions_.emptyNew});
}

// The import button repeats the import command chosen last ("ImportMenu" in the profile).
void MainWindow::createToolBar() {
    QToolBar* bar = addToolBar(tr("Main"));
    bar->setObjectName("MainTB");
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    importButton_ = new QToolButton(bar);
    importButton_->setObjectName("ImportButton");
    auto* importMenu = new QMenu(importButton_);
    importMenu->addAction(actions_.importTitles);
    importMenu->addAction(actions_.importFolder);
    importButton_->setMenu(importMenu);
    importButton_->setPopupMode(QToolButton::MenuButtonPopup);
    importButton_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    const bool folderLast =
        profileNumber(profile_, "ImportMenu", kImportTitlesCommand) == kImportFolderCommand;
    importButton_->setDefaultAction(folderLast ? actions_.importFolder : actions_.importTitles);
    connect(importMenu, &QMenu::triggered, this, [this](QAction* chosen) {
        importButton_->setDefaultAction(chosen);
        profile_.WriteNumber(
            chosen == actions_.importFolder ? kImportFolderCommand : kImportTitlesCommand, kFrame,
            "ImportMenu");
    });
    bar->addWidget(importButton_);
    bar->addAction(actions_.properties);
    bar->addAction(actions_.categorise);
    bar->addAction(actions_.deleteTitles);
    bar->addSeparator();
    bar->addAction(reader_.send);
    bar->addAction(reader_.readTitles);
    bar->addAction(reader_.readerSettings);
    bar->setVisible(profileNumber(profile_, "MainTB", 1) != 0);
}

void MainWindow::createStatusBar() {
    readerPane_ = new QLabel(tr("Reader not connected"), this);
    titlesPane_ = new QLabel(uiStringWithNumber(kTitleCountText, 0), this);
    for (QLabel* pane : {readerPane_, titlesPane_}) {
        pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        statusBar()->addPermanentWidget(pane);
    }
}

void MainWindow::restoreLayout() {
    const int width = int(profileNumber(profile_, "Width", 960));
    const int height = int(profileNumber(profile_, "Height", 600));
    resize(std::max(width, 320), std::max(height, 240));
    const int treeWidth = int(profileNumber(profile_, "TV Width", 220));
    splitter_->setSizes({treeWidth, std::max(width - treeWidth, 200)});
}

void MainWindow::writeFrameSettings() {
    const std::uint32_t state = isMinimized() ? 1 : isMaximized() ? 2 : 0;
    profile_.WriteNumber(state, kFrame, "Window State");
    const QSize size = normalGeometry().size().isValid() ? normalGeometry().size() : this->size();
    profile_.WriteNumber(std::uint32_t(size.width()), kFrame, "Width");
    profile_.WriteNumber(std::uint32_t(size.height()), kFrame, "Height");
    const QToolBar* bar = findChild<QToolBar*>("MainTB");
    profile_.WriteNumber(bar && !bar->isHidden() ? 1 : 0, kFrame, "MainTB");
    profile_.WriteNumber(std::uint32_t(splitter_->sizes().value(0)), kFrame, "TV Width");
}

void MainWindow::showFromProfile() {
    switch (profileNumber(profile_, "Window State", 0)) {
        case 1:
            showMinimized();
            break;
        case 2:
            showMaximized();
            break;
        default:
            show();
            break;
    }
}

void MainWindow::bringToFront() {
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
}

void MainWindow::setAppMessageHandler(unsigned message,
                                      std::function<void(const AppMessageEvent&)> handler) {
    handlers_[message] = std::move(handler);
}

bool MainWindow::event(QEvent* event) {
    const auto* message = dynamic_cast<const AppMessageEvent*>(event);
    if (!message) return QMainWindow::event(event);
    if (message->message() == WM_APP_TITLE_COUNT) {
        titlesPane_->setText(uiStringWithNumber(kTitleCountText, message->wParam()));
        return true;
    }
    const auto handler = handlers_.find(message->message());
    if (handler != handlers_.end()) handler->second(*message);
    return true;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    writeFrameSettings();
    list_->writeLayoutSettings();
    event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!localFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QStringList paths = localFiles(event->mimeData());
    if (paths.isEmpty()) return;
    event->acceptProposedAction();
    importPaths(paths);
}

void MainWindow::showLibrary() {
    libraryShown_ = true;
    if (document_.IsReadOnly() || !document_.IsBacked())
        setWindowTitle(tr("%1 (read-only)").arg(programName()));
    tree_->reload();
    refreshSearchChoices();
    showFilterInSearch();
    list_->rebuildRows();
    for (const QString& path : std::exchange(waitingFiles_, {})) openCommandLineFile(path);
}

void MainWindow::openCommandLineFile(const QString& path) {
    if (!libraryShown_) {
        waitingFiles_ << path;
        return;
    }
    document_.OpenCommandLineFile(toBytes(path), true);
    afterLibraryChange();
}
