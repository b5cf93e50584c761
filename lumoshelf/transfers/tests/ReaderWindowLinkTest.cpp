#include <QAction>
#include <QApplication>

#include <QElapsedTimer>
#include <QLabel>
#include "TestApp.h"

#include "EditionBuilder.h"
#include "TestFolder.h"
#include "library/LXLibraryDoc.h"
#include "library/SettingsStore.h"
#include "lumosim/Simulator.h"
#include "transfers/ReaderWindowLink.h"
#include "ui/LibListView.h"
#include "ui/LibraryWindowUi.h"
#include "ui/MainWindow.h"
#include "ui/ReaderStartup.h"
#include "ui/UserPrompts.h"

using namespace testing_editions;
namespace fs = std::filesystem;

namespace {

class QuietPrompts : public UserPrompts {
public:
    void tell(const QString&, const QString& text, Icon) override { told.push_back(text); }
    bool ask(const QString&, const QString&) override { return false; }
    std::vector<QString> told;
};

bool PumpUntil(const std::function<bool()>& condition) {
    QElapsedTimer timer;
    timer.start();
    while (!condition() && timer.elapsed() < 60000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return condition();
}

// The program's window on a library with one title, and a simulated reader that holds the title
// and its annotations, where the reader's markups are always read.
class ReaderWindowLinkTest : public TestFolder {};

TEST_F(ReaderWindowLinkTest, ANewConnectionReadsTheReadersTitlesAndMarkups) {
    testApp();
    fs::create_directories(dir / "lib/Books");
    fs::create_directories(dir / "flash");
    EditionBuilder moby;
    moby.entries = {{"info", "Title=Moby\nurl=ebook:moby\nusername=reader\n", 2}};
    moby.WriteTo(dir / "moby.lx");
    moby.WriteTo(dir / "flash/moby.lx");
    std::ofstream(dir / "flash/moby.la") << "annotations";

    lumosim::SimulatorOptions options;
    options.flash = dir / "flash";
    options.identifier = "WINDOW-READER";
    lumosim::Simulator reader(options);
    reader.Start();
    std::ofstream(dir / "settings.ini")
        << "[Data Locations]\nBookDir=" << (dir / "lib/Books").string()
        << "\n[DataComm]\nComPort=" << reader.DevicePath()
        << "\nBaud=31\n[WINDOW-READER]\nUpload Markups=2\n";

    {
        CLXSettingsStore settings((dir / "settings.ini").string());
        CLXSettingsStore profile((dir / "profile.ini").string());
        QuietPrompts prompts;
        ReaderStartupHooks hooks;
        ReaderWindowLink link((dir / "settings.ini").string(), hooks);
        LibraryWindowUi documentUi(prompts);
        CLXLibraryDoc document(settings, documentUi, hooks.systemImageSender);
        MainWindow window(document, profile, prompts, documentUi);
        ASSERT_TRUE(document.OnOpenDocument((dir / "lib/library.lxl").string()));
        ASSERT_EQ(document.AddTitleFromFile((dir / "moby.lx").string(), false), 1);
        window.showLibrary();
        link.Attach(window, document, prompts);
        EXPECT_TRUE(window.readerActions().serialPort->isEnabled());
        EXPECT_FALSE(window.readerActions().send->isEnabled());

        ASSERT_EQ(hooks.connect(), 0);
        ASSERT_TRUE(PumpUntil([&] { return !document.CardAt(0).markups.empty(); }));
        const CLXMarkup& markup = document.CardAt(0).markups[0];
        EXPECT_EQ(markup.readerId, "WINDOW-READER");
        EXPECT_EQ(markup.path, (dir / "lib/Books/WINDOW-READER/moby.la").string());
        EXPECT_EQ(document.CardAt(0).onReader, 1u);
        ASSERT_TRUE(PumpUntil(
            [&] { return window.readerStatePane().text() == "Lumo eBook WINDOW-READER ready"; }));

        window.listView().selectAll();
        EXPECT_TRUE(PumpUntil([&] { return window.readerActions().send->isEnabled(); }));
        reader.SetSilent(true);
        EXPECT_TRUE(PumpUntil([&] {
            return window.readerStatePane().text() ==
                   "Lumo eBook not found.  Is it docked and turned on?";
        }));
        EXPECT_FALSE(window.readerActions().send->isEnabled());
        EXPECT_TRUE(prompts.told.empty());
    }
    reader.Stop();
}

}  // namespace
