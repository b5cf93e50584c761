#include <QCalendarWidget>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <filesystem>

#include "ReaderFixture.h"
#include "library/SettingsStore.h"
#include "settings/DateTimeSamples.h"
#include "settings/LXPageMisc.h"
#include "settings/LXPageTime.h"
#include "settings/LXPageTimeFmt.h"

namespace fs = std::filesystem;

namespace {

void Type(QLineEdit& box, const QString& text) {
    box.selectAll();
    box.insert(text);  // as typed: textEdited follows
}

class ConfigPagesTest : public ReaderFixture {};

TEST_F(ConfigPagesTest, PagesShownAndLeftAloneQueueNothing) {
    StartReader();
    CLXPageTimeFmt format(*worker, sendList, prompts);
    CLXPageTime time(*worker, *worker, sendList, prompts, &format);
    CLXPageMisc misc(*worker, sendList, prompts);
    for (CLXConfigPage* page :
         {static_cast<CLXConfigPage*>(&time), static_cast<CLXConfigPage*>(&format),
          static_cast<CLXConfigPage*>(&misc)}) {
        page->Activate();
        page->Activate();
        EXPECT_TRUE(page->OnApply());
    }
    EXPECT_TRUE(sendList.empty());
    EXPECT_TRUE(prompts.told.isEmpty()) << prompts.told.join(" | ").toStdString();
    // The reader's settings as its status file gives them.
    EXPECT_TRUE(Child<QRadioButton>(format, "hour12").isChecked());
    EXPECT_EQ(Child<QLineEdit>(format, "timeSeparator").text(), ":");
    EXPECT_EQ(Child<QComboBox>(format, "dateStyle").currentText(), "m/d/yy");
    EXPECT_EQ(Child<QLineEdit>(format, "dateSeparator").text(), "/");
    EXPECT_EQ(Child<QSpinBox>(misc, "autoTimeout").value(), 10);
}

TEST_F(ConfigPagesTest, OnlyTheDateChangedSendsTheNewDateAndThePickersTime) {
    StartReader();
    CLXPageTime page(*worker, *worker, sendList, prompts, nullptr);
    page.Activate();
    auto& calendar = Child<QCalendarWidget>(page, "date");
    const QTime picked = Child<QTimeEdit>(page, "time").time();
    calendar.setSelectedDate(QDate(2027, 3, 9));
    ASSERT_TRUE(page.OnApply());
    ASSERT_EQ(sendList.size(), 1u);
    EXPECT_EQ(sendList[0], CommandFileCopy("time"));
    EXPECT_EQ(Text(sendList[0]), QString("CMD!\r\nSETDATE 9 3 2027\r\nSETTIME %1 %2 %3\r\n")
                                     .arg(picked.hour())
                                     .arg(picked.minute())
                                     .arg(picked.second())
                                     .toStdString());
}

TEST_F(ConfigPagesTest, ThePickerFollowsTheFormatPagesChoiceElseTheReaders) {
    StartReader();
    CLXPageTimeFmt format(*worker, sendList, prompts);
    CLXPageTime time(*worker, *worker, sendList, prompts, &format);
    auto& picker = Child<QTimeEdit>(time, "time");
    time.Activate();
    EXPECT_EQ(picker.displayFormat(), "h:mm AP");  // the reader's 12-hour clock

    format.Activate();
    Child<QRadioButton>(format, "hour24").click();
    time.Activate();
    EXPECT_EQ(picker.displayFormat(), "H:mm");
    Child<QRadioButton>(format, "hour12").click();
    time.Activate();
    EXPECT_EQ(picker.displayFormat(), "h:mm AP");

    SetOnReader("SETTIMEFORM 1 .");
    CLXPageTime second(*worker, *worker, sendList, prompts, nullptr);
    second.Activate();
    EXPECT_EQ(Child<QTimeEdit>(second, "time").displayFormat(), "H:mm");
}

struct FormatCase {
    const char* what;
    bool chooseTwentyFour;
    const char* timeSeparator;  // null: not typed
    int style;                  // -1: not chosen
    const char* dateSeparator;
    const char* commands;
};

TEST_F(ConfigPagesTest, TheFormatCopyHoldsOnlyTheFormatsChanged) {
    StartReader();
    const FormatCase cases[] = {
        {"style only", false, nullptr, 6, nullptr, "SETDATEFORM 6 /\r\n"},
        {"date separator only", false, nullptr, -1, ".", "SETDATEFORM 0 .\r\n"},
        {"24 hours only", true, nullptr, -1, nullptr, "SETTIMEFORM 1 :\r\n"},
        {"time separator emptied", false, "", -1, nullptr, "SETTIMEFORM 0 :\r\n"},
        {"both, date separator emptied", true, ".", 3, "",
         "SETTIMEFORM 1 .\r\nSETDATEFORM 3 /\r\n"},
    };
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(c.what);
        sendList.clear();
        CLXPageTimeFmt page(*worker, sendList, prompts);
        page.Activate();
        if (c.chooseTwentyFour) Child<QRadioButton>(page, "hour24").click();
        if (c.timeSeparator) Type(Child<QLineEdit>(page, "timeSeparator"), c.timeSeparator);
        if (c.style >= 0) {
            auto& styles = Child<QComboBox>(page, "dateStyle");
            styles.setCurrentIndex(c.style);
            emit styles.activated(c.style);
        }
        if (c.dateSeparator) Type(Child<QLineEdit>(page, "dateSeparator"), c.dateSeparator);
        ASSERT_TRUE(page.OnApply());
        ASSERT_EQ(sendList.size(), 1u);
        EXPECT_EQ(sendList[0], CommandFileCopy("timefmt"));
        EXPECT_EQ(Text(sendList[0]), std::string("CMD!\r\n") + c.commands);
    }
}

TEST_F(ConfigPagesTest, SamplesFollowTheChoices) {
    StartReader();
    CLXPageTimeFmt page(*worker, sendList, prompts);
    page.Activate();
    const QDate today = QDate::currentDate();
    auto& styles = Child<QComboBox>(page, "dateStyle");
    styles.setCurrentIndex(6);
    emit styles.activated(6);
    Type(Child<QLineEdit>(page, "dateSeparator"), ".");
    EXPECT_EQ(Child<QLabel>(page, "dateSample").text().toStdString(),
              lumo::DateSample(6, today.day(), today.month(), today.year(), '.'));
    EXPECT_TRUE(Child<QLabel>(page, "dateSample")
                    .text()
                    .contains(QRegularExpression("^[1-9][0-9]?\\.[A-Z]{3}\\.[0-9]{1,2}$")));
    Child<QRadioButton>(page, "hour24").click();
    EXPECT_TRUE(Child<QLabel>(page, "timeSample")
                    .text()
                    .contains(QRegularExpression("^[0-2][0-9]:[0-5][0-9]$")));
    Child<QRadioButton>(page, "hour12").click();
    EXPECT_TRUE(Child<QLabel>(page, "timeSample")
                    .text()
                    .contains(QRegularExpression("^1?[0-9]:[0-5][0-9] [ap]m$")));
    // The boxes take one character, and none that the reader's status file cannot carry.
    auto& separator = Child<QLineEdit>(page, "timeSeparator");
    separator.clear();
    separator.insert("\"");
    EXPECT_EQ(separator.text(), "");
    separator.insert("=");
    EXPECT_EQ(separator.text(), "");
    separator.insert("-.");
    EXPECT_EQ(separator.text(), "-");
}

TEST_F(ConfigPagesTest, AReaderDateStyleAboveTheListShowsTheMessageAndTheLastStyle) {
    StartReader();
    SetOnReader("SETDATEFORM 9 -");
    CLXPageTimeFmt page(*worker, sendList, prompts);
    page.Activate();
    EXPECT_EQ(prompts.told,
              QStringList{"The date format specified by the Lumo eBook is not supported."});
    EXPECT_EQ(prompts.icons, std::vector<UserPrompts::Icon>{UserPrompts::Icon::Stop});
    EXPECT_EQ(Child<QComboBox>(page, "dateStyle").currentIndex(), 7);
    EXPECT_EQ(Child<QLineEdit>(page, "dateSeparator").text(), "-");
    ASSERT_TRUE(page.OnApply());
    EXPECT_TRUE(sendList.empty());
}

TEST_F(ConfigPagesTest, TheTimeoutShowsWholeMinutesAndSendsOnlyWhenChanged) {
    StartReader();
    SetOnReader("SETAUTO 119");
    {
        CLXPageMisc page(*worker, sendList, prompts);
        page.Activate();
        EXPECT_EQ(Child<QSpinBox>(page, "autoTimeout").value(), 1);
        ASSERT_TRUE(page.OnApply());
        EXPECT_TRUE(sendList.empty());
    }
    CLXPageMisc page(*worker, sendList, prompts);
    page.Activate();
    auto& timeout = Child<QSpinBox>(page, "autoTimeout");
    timeout.setValue(2);
    ASSERT_TRUE(page.OnApply());
    ASSERT_EQ(sendList.size(), 1u);
    EXPECT_EQ(sendList[0], CommandFileCopy("misc"));
    EXPECT_EQ(Text(sendList[0]), "CMD!\r\nSETAUTO 120\r\n");

    // An empty box is not a number of minutes: the page stays and queues nothing more.
    timeout.findChild<QLineEdit*>()->setText("");  // as the user empties it
    EXPECT_FALSE(page.OnApply());
    EXPECT_EQ(prompts.told, QStringList{"Please enter an integer between 0 and 99."});
    EXPECT_EQ(sendList.size(), 1u);
    timeout.setValue(99);
    timeout.stepBy(1);
    EXPECT_EQ(timeout.value(), 99);
}

TEST_F(ConfigPagesTest, TheUploadChoiceIsTheReadersOwnAndStoredOnEveryOk) {
    StartReader();
    struct Case {
        const char* stored;  // null: no line
        const char* shown;
        const char* choose;
        const char* written;
    };
    const Case cases[] = {{nullptr, "uploadPrompt", nullptr, "0"},
                          {"2", "uploadAlways", nullptr, "2"},
                          {"1", "uploadNever", "uploadAlways", "2"},
                          {"7", "uploadPrompt", "uploadNever", "1"},
                          {"0", "uploadPrompt", nullptr, "0"}};
    CLXSettingsStore& settings = worker->Settings();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "none");
        if (c.stored) settings.WriteString(c.stored, kReaderId, "Upload Markups");
        CLXPageMisc page(*worker, sendList, prompts);
        page.Activate();
        EXPECT_EQ(Child<QLabel>(page, "syncCaption").text(),
                  QString("On connection to <%1>\nsynchronize title & markup information:")
                      .arg(kReaderId));
        EXPECT_TRUE(Child<QRadioButton>(page, c.shown).isChecked());
        if (c.choose) Child<QRadioButton>(page, c.choose).click();
        ASSERT_TRUE(page.OnApply());
        EXPECT_EQ(settings.StringOr(kReaderId, "Upload Markups"), c.written);
    }
    EXPECT_TRUE(sendList.empty());
}

TEST_F(ConfigPagesTest, WithoutAReaderThePagesStayEmptyAndSendNothing) {
    StartWithoutReader();
    CLXPageTimeFmt format(*worker, sendList, prompts);
    CLXPageMisc misc(*worker, sendList, prompts);
    format.Activate();
    misc.Activate();
    EXPECT_FALSE(Child<QRadioButton>(format, "hour12").isChecked());
    EXPECT_FALSE(Child<QRadioButton>(format, "hour24").isChecked());
    EXPECT_EQ(Child<QComboBox>(format, "dateStyle").currentIndex(), -1);
    EXPECT_EQ(Child<QSpinBox>(misc, "autoTimeout").text(), "");
    EXPECT_FALSE(Child<QRadioButton>(misc, "uploadPrompt").isEnabled());
    EXPECT_TRUE(format.OnApply());
    EXPECT_TRUE(misc.OnApply());
    EXPECT_TRUE(sendList.empty());
    EXPECT_TRUE(prompts.told.isEmpty());
    EXPECT_EQ(
        CLXSettingsStore((dir / "settings.ini").string()).StringOr("unknown", "Upload Markups"),
        "");
}

// The command file cannot be created: the page says so and queues neither a stale copy nor an
// empty one.
TEST_F(ConfigPagesTest, ACommandFileThatCannotBeWrittenIsNeverQueued) {
    StartReader();
    CLXPageMisc page(*worker, sendList, prompts);
    page.Activate();
    Child<QSpinBox>(page, "autoTimeout").setValue(5);
    const fs::path commandFile = worker->GetCmds()->GetPath();
    std::ofstream(commandFile.string() + "misc") << "CMD!\r\nSETAUTO 60\r\n";  // an older copy
    fs::remove(commandFile);
    fs::create_directory(commandFile);
    const bool applied = page.OnApply();
    fs::remove(commandFile);
    EXPECT_FALSE(applied);
    EXPECT_TRUE(sendList.empty());
    EXPECT_EQ(prompts.told, QStringList{"Error trying to create a temporary file."});
    EXPECT_EQ(prompts.icons, std::vector<UserPrompts::Icon>{UserPrompts::Icon::Stop});
}

}  // namespace
