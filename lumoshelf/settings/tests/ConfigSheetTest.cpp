#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimeEdit>
#include <QTimer>

#include "ReaderFixture.h"
#include "library/LXLibraryDoc.h"
#include "library/SettingsStore.h"
#include "settings/LXConfigSheet.h"
#include "settings/LXPageMisc.h"
#include "settings/ReaderSettingsCommand.h"
#include "settings/ReaderSettingsSheet.h"
#include "transfers/ReaderWindowLink.h"
#include "ui/LibraryWindowUi.h"
#include "ui/MainWindow.h"
#include "ui/ReaderStartup.h"

namespace fs = std::filesystem;

namespace {

void ChooseStyle(QWidget& page, int style) {
    auto& styles = Child<QComboBox>(page, "dateStyle");
    styles.setCurrentIndex(style);
    emit styles.activated(style);
}

void TypeSeparator(QWidget& page, const char* box, const QString& text) {
    auto& edit = Child<QLineEdit>(page, box);
    edit.selectAll();
    edit.insert(text);
}

class ConfigSheetTest : public ReaderFixture {};

TEST_F(ConfigSheetTest, PagesInTabOrderActivatedWhenCurrentAndOnlyShownOnesApply) {
    StartReader();
    worker->Settings().WriteString("1", kReaderId, "Upload Markups");
    const auto sheet = BuildReaderSettingsSheet(*worker, sendList, prompts, nullptr);
    EXPECT_EQ(sheet->windowTitle(), "Configuration");
    EXPECT_TRUE(sheet->isModal());
    auto& tabs = Child<QTabWidget>(*sheet, "pages");
    ASSERT_EQ(tabs.count(), 4);
    EXPECT_EQ(tabs.tabText(0), "Date && Time");
    EXPECT_EQ(tabs.tabText(1), "Date && Time Format");
    EXPECT_EQ(tabs.tabText(2), "Misc");
    EXPECT_EQ(tabs.tabText(3), "Font");
    EXPECT_FALSE(sheet->Page(0)->WasShown());

    sheet->show();
    EXPECT_TRUE(sheet->Page(0)->WasShown());
    EXPECT_FALSE(sheet->Page(1)->WasShown());
    sheet->SetCurrentPage(1);
    EXPECT_TRUE(sheet->Page(1)->WasShown());
    ChooseStyle(*sheet->Page(1), 2);
    sheet->accept();
    EXPECT_EQ(sheet->result(), QDialog::Accepted);
    EXPECT_FALSE(sheet->Page(2)->WasShown());
    ASSERT_EQ(sendList.size(), 1u);
    EXPECT_EQ(Text(sendList[0]), "CMD!\r\nSETDATEFORM 2 /\r\n");
    // The misc page was never shown: its choice is not stored again.
    EXPECT_EQ(worker->Settings().StringOr(kReaderId, "Upload Markups"), "1");
}

TEST_F(ConfigSheetTest, APageThatRefusesKeepsTheSheetOpenOnItAndQueuesNothingTwice) {
    StartReader();
    const auto sheet = BuildReaderSettingsSheet(*worker, sendList, prompts, nullptr);
    sheet->show();
    Child<QCalendarWidget>(*sheet->Page(0), "date").setSelectedDate(QDate(2030, 1, 2));
    sheet->SetCurrentPage(1);
    ChooseStyle(*sheet->Page(1), 4);
    sheet->SetCurrentPage(2);
    auto& timeout = Child<QSpinBox>(*sheet->Page(2), "autoTimeout");
    timeout.findChild<QLineEdit*>()->setText("");  // as the user empties it

    sheet->accept();
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(Child<QTabWidget>(*sheet, "pages").currentIndex(), 2);
    EXPECT_TRUE(sendList.empty());
    EXPECT_EQ(prompts.told, QStringList{"Please enter an integer between 0 and 99."});

    timeout.setValue(3);
    sheet->accept();
    EXPECT_EQ(sheet->result(), QDialog::Accepted);
    EXPECT_EQ(sendList,
              (std::vector<std::string>{CommandFileCopy("time"), CommandFileCopy("timefmt"),
                                        CommandFileCopy("misc")}));
    EXPECT_EQ(Text(sendList[1]), "CMD!\r\nSETDATEFORM 4 /\r\n");
    EXPECT_EQ(Text(sendList[2]), "CMD!\r\nSETAUTO 180\r\n");
}

TEST_F(ConfigSheetTest, UpdateNowSendsThePcsTimeAtOnce) {
    StartReader();
    SetOnReader("SETDATE 1 1 2001\r\nSETTIME 1 1 1");
    const auto sheet = BuildReaderSettingsSheet(*worker, sendList, prompts, nullptr);
    sheet->show();
    auto& page = *sheet->Page(0);
    Child<QCalendarWidget>(page, "date").setSelectedDate(QDate(2001, 1, 1));
    Child<QPushButton>(page, "updateNow").click();
    const QDate today = QDate::currentDate();
    ASSERT_TRUE(PumpUntil([&] { return reader->Settings().clock.Now().year == today.year(); }));
    const auto now = reader->Settings().clock.Now();
    EXPECT_EQ(now.month, today.month());
    EXPECT_EQ(now.day, today.day());
    EXPECT_EQ(Child<QCalendarWidget>(page, "date").selectedDate(), today);
    // What was sent is the new starting point: OK has nothing more to send.
    sheet->accept();
    EXPECT_TRUE(sendList.empty());
    sheet->reject();
}

// The program's way: the Reader Settings command of the main window opens the sheet while the
// reader is connected, and the files of its pages reach the reader in one job.
TEST_F(ConfigSheetTest, TheReaderSettingsCommandChangesTheReader) {
    lumosim::SimulatorOptions options;
    options.flash = dir / "flash";
    options.identifier = kReaderId;
    fs::create_directories(dir / "flash");
    fs::create_directories(dir / "lib/Books");
    reader = std::make_unique<lumosim::Simulator>(options);
    reader->Start();
    Write("settings.ini", "[Data Locations]\nBookDir=" + (dir / "lib/Books").string() +
                              "\n[DataComm]\nComPort=" + reader->DevicePath() + "\nBaud=31\n[" +
                              kReaderId + "]\nUpload Markups=1\n");
    {
        CLXSettingsStore settings((dir / "settings.ini").string());
        CLXSettingsStore profile((dir / "profile.ini").string());
        ReaderStartupHooks hooks;
        ReaderWindowLink link((dir / "settings.ini").string(), hooks);
        LibraryWindowUi documentUi(prompts);
        CLXLibraryDoc document(settings, documentUi, hooks.systemImageSender);
        MainWindow window(document, profile, prompts, documentUi);
        ASSERT_TRUE(document.OnOpenDocument((dir / "lib/library.lxl").string()));
        window.showLibrary();
        link.Attach(window, document, prompts);
        QAction& action = *window.readerActions().readerSettings;
        ReaderSettingsCommand command(link, *GetTransferWorker(), action, window, prompts);
        EXPECT_FALSE(action.isEnabled());

        ASSERT_EQ(hooks.connect(), 0);
        ASSERT_TRUE(PumpUntil([&] { return action.isEnabled(); }));
        bool sheetSeen = false;
        QTimer::singleShot(0, [&] {
            auto* sheet = qobject_cast<CLXConfigSheet*>(QApplication::activeModalWidget());
            ASSERT_NE(sheet, nullptr);
            sheetSeen = true;
            Child<QCalendarWidget>(*sheet->Page(0), "date").setSelectedDate(QDate(2031, 7, 4));
            Child<QTimeEdit>(*sheet->Page(0), "time").setTime(QTime(10, 20, 30));
            sheet->SetCurrentPage(1);
            ChooseStyle(*sheet->Page(1), 6);
            TypeSeparator(*sheet->Page(1), "dateSeparator", ".");
            Child<QRadioButton>(*sheet->Page(1), "hour24").click();
            sheet->SetCurrentPage(2);
            Child<QSpinBox>(*sheet->Page(2), "autoTimeout").setValue(2);
            Child<QRadioButton>(*sheet->Page(2), "uploadAlways").click();
            Child<QDialogButtonBox>(*sheet, "").button(QDialogButtonBox::Ok)->click();
        });
        action.trigger();
        ASSERT_TRUE(sheetSeen);
        EXPECT_FALSE(action.isEnabled());  // the job runs
        ASSERT_TRUE(PumpUntil([&] { return action.isEnabled(); }));

        const lumosim::ReaderSettings applied = reader->Settings();
        EXPECT_EQ(applied.dateFormat, 6);
        EXPECT_EQ(applied.dateSeparator, '.');
        EXPECT_EQ(applied.timeFormat, 1);
        EXPECT_EQ(applied.timeSeparator, ':');
        EXPECT_EQ(applied.autoOffSeconds, 120);
        EXPECT_EQ(applied.lastError, 0);
        const auto now = applied.clock.Now();
        EXPECT_EQ(now.year, 2031);
        EXPECT_EQ(now.month, 7);
        EXPECT_EQ(now.day, 4);
        EXPECT_EQ(now.hour, 10);
        EXPECT_EQ(settings.StringOr(kReaderId, "Upload Markups"), "2");
        EXPECT_TRUE(prompts.told.isEmpty()) << prompts.told.join(" | ").toStdString();
    }
    reader->Stop();
}

}  // namespace
