// Makes the screenshot of the main window for the documentation: a demo library of a few
// editions, two titles on the reader and one with markups, rendered offscreen.
// Usage: window_screenshot OUTPUT.png
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>

#include "library/LXLibraryDoc.h"
#include "library/SettingsStore.h"
#include "lumowriter/EditionPacker.h"
#include "ui/CategoryTree.h"
#include "ui/LibListView.h"
#include "ui/MainWindow.h"
#include "ui/ProgramSession.h"
#include "ui/TextConversion.h"
#include "ui/TitleListModel.h"
#include "ui/UserPrompts.h"

namespace {

class PrintedPrompts : public UserPrompts {
public:
    void tell(const QString&, const QString& text, Icon) override {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
    bool ask(const QString&, const QString&) override { return false; }
};

struct DemoTitle {
    const char* file;
    const char* title;
    const char* author;
    const char* genre;
    const char* owner;
    size_t pageBytes;
};

const DemoTitle kTitles[] = {
    {"emma", "Emma", "Jane Austen", "Fiction", "demo", 420000},
    {"persuasion", "Persuasion", "Jane Austen", "Fiction", "demo", 250000},
    {"hard-times", "Hard Times", "Charles Dickens", "Fiction", "demo", 310000},
    {"time-machine", "The Time Machine", "H. G. Wells", "Science Fiction", "demo", 180000},
    {"walden", "Walden", "Henry David Thoreau", "Essays", "[none]", 350000},
    {"origin", "On the Origin of Species", "Charles Darwin", "Science", "demo", 900000},
    {"moonstone", "The Moonstone", "Wilkie Collins", "Fiction", "demo", 480000},
};

}  // namespace

int main(int argc, char** argv) {
    const char* usage =
        "usage: window_screenshot OUTPUT.png\n"
        "Renders the main window on a demo library (offscreen unless QT_QPA_PLATFORM is set)\n"
        "and saves it as OUTPUT.png.\n";
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(usage, stdout);
        return 0;
    }
    if (argc != 2) {
        std::fputs(usage, stderr);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir root;
    const QString library = root.filePath("library");
    QDir().mkpath(library + "/Books");
    QDir().mkpath(library + "/AutoAdd");
    CLXSettingsStore settings(toBytes(root.filePath("settings.ini")));
    settings.WriteString(toBytes(library), "Data Locations", "LibraryDir");
    settings.WriteString("library.lxl", "Data Locations", "LibraryFile");
    settings.WriteString(toBytes(library + "/Books"), "Data Locations", "BookDir");
    settings.WriteString(toBytes(library + "/AutoAdd"), "Data Locations", "AutoAddDir");
    settings.WriteString("COM1", "DataComm", "ComPort");
    for (const DemoTitle& demo : kTitles) {
        lumowriter::EditionLayout layout;
        layout.info = {{"Title", demo.title},
                       {"Author", demo.author},
                       {"genre", demo.genre},
                       {"username", demo.owner},
                       {"url", std::string("ebook:demo-") + demo.file}};
        layout.contents.push_back({"page1.html", std::string(demo.pageBytes, 'x')});
        std::string error;
        lumowriter::WriteEdition(layout, toBytes(library + "/AutoAdd/" + demo.file + ".lx"), error);
    }

    PrintedPrompts prompts;
    ProgramSession session(prompts);
    ProgramSession::Options options;
    options.settingsPath = root.filePath("settings.ini");
    if (session.start(options) != ProgramSession::Outcome::Running) return 1;
    CLXLibraryDoc& document = *session.document();
    for (int i = 0; i < document.GetCardCount(); ++i) {
        CLXCard card = document.GetCard(i);
        card.onReader = card.author == "Jane Austen";
        if (card.title == "Emma") {
            CLXMarkup note;
            note.SetFromPath(card.storedPath.substr(0, card.storedPath.size() - 3) + ".ln");
            card.markups.push_back(note);
        }
        document.SetCard(i, card);
    }
    MainWindow& window = *session.window();
    window.resize(980, 560);
    // As the window is while a reader is docked: its state text and the commands it enables.
    window.readerStatePane().setText(QObject::tr("Lumo eBook ready"));
    for (QAction* command : {window.readerActions().send, window.readerActions().readTitles,
                             window.readerActions().serialPort})
        command->setEnabled(true);
    window.categoryTree().expandAll();
    window.listView().rebuildRows();
    window.listView().selectionModel()->select(
        window.listView().titleModel().index(1, 0),
        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    if (!window.grab().save(QString::fromLocal8Bit(argv[1]))) return 1;
    std::printf("wrote %s\n", argv[1]);
    return 0;
}
