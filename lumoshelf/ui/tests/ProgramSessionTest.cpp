#include "ui/ProgramSession.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTest>
#include <clocale>
#include <thread>

#include "DemoLibrary.h"
#include "RecordingPrompts.h"
#include "SessionOptions.h"
#include "TestApp.h"
#include "library/AppMessages.h"
#include "library/LXLibraryDoc.h"
#include "library/StringTable.h"
#include "ui/AppMessageEvent.h"
#include "ui/LibListView.h"
#include "ui/MainWindow.h"
#include "ui/SingleInstance.h"
#include "ui/TitleListModel.h"

using namespace std::chrono_literals;

namespace {

void settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

}  // namespace

TEST(ProgramStart, OpensTheLibraryImportsAutoAddAndShowsTheCount) {
    testApp();
    DemoLibrary library;
    library.edition(library.autoAddDir() + "/emma.lx", "Emma", "Jane Austen");
    library.edition(library.autoAddDir() + "/hard.lx", "Hard Times", "Charles Dickens");
    RecordingPrompts prompts;
    ProgramSession session(prompts);
    ASSERT_EQ(session.start(optionsFor(library)), ProgramSession::Outcome::Running);
    settle();

    MainWindow& window = *session.window();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.listView().titleModel().rowCount(), 2);
    EXPECT_EQ(window.titleCountPane().text(), "2 Titles    ");
    EXPECT_TRUE(QDir(library.autoAddDir()).isEmpty());
    EXPECT_TRUE(QFile::exists(library.libraryDir() + "/library.lxl"));
    EXPECT_TRUE(prompts.told.isEmpty()) << prompts.told.join('\n').toStdString();
    // Reader commands wait for the transfer side.
    EXPECT_FALSE(window.readerActions().send->isEnabled());
}

TEST(ProgramStart, WithoutSerialPortTheUserIsToldHowToChooseOne) {
    testApp();
    DemoLibrary library;
    library.settings.WriteString("", "DataComm", "ComPort");
    RecordingPrompts prompts;
    ProgramSession session(prompts);
    int searched = 0;
    session.readerHooks().searchPorts = [&] { ++searched; };
    ASSERT_EQ(session.start(optionsFor(library)), ProgramSession::Outcome::Running);
    ASSERT_EQ(prompts.told.size(), 1);
    EXPECT_TRUE(prompts.told.front().startsWith("In order to communicate with your Lumo eBook"));
    EXPECT_EQ(searched, 1);
}

TEST(ProgramStart, PortThatCannotBeOpenedIsReportedAndTheProgramRunsOn) {
    testApp();
    DemoLibrary library;
    library.settings.WriteString(toBytes(library.path("link.log")), "LOGFILE", "NAME");
    RecordingPrompts prompts;
    ProgramSession session(prompts);
    std::string logged;
    session.readerHooks().enableLinkLog = [&](const std::string& path) { logged = path; };
    session.readerHooks().connect = [] { return 3; };
    ASSERT_EQ(session.start(optionsFor(library)), ProgramSession::Outcome::Running);
    EXPECT_EQ(logged, toBytes(library.path("link.log")));
    ASSERT_EQ(prompts.told.size(), 1);
    EXPECT_TRUE(
        prompts.told.front().startsWith("An error occurred while connecting to your serial"));
}

TEST(ProgramStart, MissingLibrarySettingStopsWithItsMessageInTheUsersLanguage) {
    testApp();
    DemoLibrary library;
    QFile::remove(library.settingsPath());
    library.settings.WriteString("library.lxl", "Data Locations", "LibraryFile");
    QDir().mkpath(library.path("data"));
    QFile strings(library.path("data/strings_de.ini"));
    ASSERT_TRUE(strings.open(QIODevice::WriteOnly));
    strings.write("[Strings]\n61462=Der Bibliotheksordner ist nicht eingestellt.\n");
    strings.close();
    const QByteArray language = qgetenv("LANG"), all = qgetenv("LC_ALL");
    qputenv("LANG", "de_DE.UTF-8");
    qunsetenv("LC_ALL");
    // As in a fresh process: the C library starts in the "C" locale.
    std::setlocale(LC_ALL, "C");

    RecordingPrompts prompts;
    {
        ProgramSession session(prompts);
        EXPECT_EQ(session.start(optionsFor(library)), ProgramSession::Outcome::Stopped);
        EXPECT_EQ(session.window(), nullptr);
    }
    qputenv("LANG", language);
    if (!all.isEmpty()) qputenv("LC_ALL", all);
    std::setlocale(LC_ALL, "");
    CLXStringTable::Instance().ClearOverrides();
    EXPECT_EQ(prompts.told, QStringList{"Der Bibliotheksordner ist nicht eingestellt."});
    EXPECT_EQ(prompts.icons.front(), UserPrompts::Icon::Stop);
}

TEST(ProgramStart, FileHandedOverBySecondStartIsImported) {
    testApp();
    DemoLibrary library;
    RecordingPrompts prompts;
    ProgramSession session(prompts);
    ASSERT_EQ(session.start(optionsFor(library)), ProgramSession::Outcome::Running);
    const QString emma = library.edition(library.path("Downloads/emma.lx"), "Emma", "Jane Austen");

    QProcess second;
    second.setWorkingDirectory(library.path("Downloads"));
    second.start(INSTANCE_PROBE, {instanceKey(library.settingsPath()), "3000", "emma.lx"});
    ASSERT_TRUE(second.waitForStarted());
    while (second.state() != QProcess::NotRunning) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        second.waitForFinished(20);
    }
    settle();
    EXPECT_EQ(second.readAllStandardOutput().trimmed(), "handed-over");
    EXPECT_EQ(session.document()->GetCardCount(), 1);
    EXPECT_EQ(session.window()->listView().titleModel().rowCount(), 1);
    ASSERT_EQ(prompts.told.size(), 1);
    EXPECT_TRUE(
        prompts.told.front().startsWith("The following title has been added to your library:"));
    EXPECT_TRUE(prompts.told.front().contains("Title:\t\tEmma\n"));
}

TEST(ProgramStart, SecondSessionOnTheSameSettingsIsTurnedAwayWhenTheFirstDoesNotAnswer) {
    testApp();
    DemoLibrary library;
    RecordingPrompts prompts;
    ProgramSession first(prompts);
    ASSERT_EQ(first.start(optionsFor(library)), ProgramSession::Outcome::Running);
    // The first session answers only from its event loop, which this thread does not run now.
    RecordingPrompts secondPrompts;
    ProgramSession second(secondPrompts);
    EXPECT_EQ(second.start(optionsFor(library, library.path("book.lx"))),
              ProgramSession::Outcome::Stopped);
    ASSERT_EQ(secondPrompts.told.size(), 1);
    EXPECT_TRUE(secondPrompts.told.front().contains(library.path("book.lx")));
}

TEST(ProgramStart, MessagesPostedFromOtherThreadsAreHandledOnTheWindowThread) {
    testApp();
    DemoLibrary library;
    RecordingPrompts prompts;
    auto session = std::make_unique<ProgramSession>(prompts);
    ASSERT_EQ(session->start(optionsFor(library)), ProgramSession::Outcome::Running);
    MainWindow& window = *session->window();
    std::thread::id handledOn;
    window.setAppMessageHandler(WM_APP_CONNECT_STATE, [&](const AppMessageEvent& message) {
        handledOn = std::this_thread::get_id();
        window.readerStatePane().setText(QString::number(message.wParam()));
    });
    const std::shared_ptr<AppMessageTarget> target = window.messageTarget();
    std::thread worker([target] {
        target->post(WM_APP_CONNECT_STATE, 11);
        target->post(WM_APP_TITLE_COUNT, 42);
    });
    worker.join();
    settle();
    EXPECT_EQ(handledOn, std::this_thread::get_id());
    EXPECT_EQ(window.readerStatePane().text(), "11");
    EXPECT_EQ(window.titleCountPane().text(), "42 Titles    ");

    // A job that ends after the window closed posts into nothing.
    session.reset();
    bool posted = true;
    std::thread late([&] { posted = target->post(WM_APP_TRANSFER_DONE, 1); });
    late.join();
    EXPECT_FALSE(posted);
}

TEST(ProgramStart, DamagedLibraryFileIsReportedKeptAndNeverOverwritten) {
    testApp();
    DemoLibrary library;
    QFile damaged(library.libraryDir() + "/library.lxl");
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray("\x05\x00garbage", 9));
    damaged.close();
    library.edition(library.autoAddDir() + "/emma.lx", "Emma", "Jane Austen");
    RecordingPrompts prompts;
    {
        ProgramSession session(prompts);
        ASSERT_EQ(session.start(optionsFor(library)), ProgramSession::Outcome::Running);
        ASSERT_FALSE(prompts.told.isEmpty());
        EXPECT_TRUE(prompts.told.front().startsWith("The library " + library.libraryDir()));
        EXPECT_TRUE(session.window()->windowTitle().contains("read-only"));
    }
    ASSERT_TRUE(damaged.open(QIODevice::ReadOnly));
    EXPECT_EQ(damaged.readAll(), QByteArray("\x05\x00garbage", 9));
}

TEST(ProgramStart, FileNamedOnTheCommandLineIsImportedAtTheOpen) {
    testApp();
    DemoLibrary library;
    const QString emma = library.edition(library.path("Downloads/emma.lx"), "Emma", "Jane Austen");
    RecordingPrompts prompts;
    ProgramSession session(prompts);
    ASSERT_EQ(session.start(optionsFor(library, emma)), ProgramSession::Outcome::Running);
    settle();
    EXPECT_EQ(session.window()->listView().titleModel().rowCount(), 1);
    ASSERT_EQ(prompts.told.size(), 1);
    EXPECT_TRUE(prompts.told.front().startsWith("The following title has been added"));
    EXPECT_TRUE(QFile::exists(emma));  // the user's own file stays where it was
}
