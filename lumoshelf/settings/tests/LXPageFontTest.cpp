#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "RecordingPrompts.h"
#include "TestApp.h"
#include "TestFolder.h"
#include "glyphbake/LxfFile.h"
#include "library/FileUtil.h"
#include "library/SettingsStore.h"
#include "lumolink/LumoCmd.h"
#include "lumosim/harness/ReaderHarness.h"
#include "settings/LXPageFont.h"
#include "transfers/PrivateTempDir.h"

namespace fs = std::filesystem;

namespace {

const fs::path kFonts = FONTPAGE_TEST_FONTS;

const std::string kLargeWarning =
    "The font file is larger than 200k bytes and might be rejected by the Lumo eBook.\nClick "
    "'Cancel' to cancel the operation, and then you can choose a smaller font.  Click 'OK' if "
    "you are sure you want to download this font.";
const std::string kFiller(128, ' ');

// The page with the size warning answered from a script (Cancel when it is used up).
class TestFontPage : public CLXPageFont {
public:
    using CLXPageFont::CLXPageFont;
    QStringList warnings;
    std::deque<bool> answers;

protected:
    bool ConfirmOversizedFont(const QString& text) override {
        warnings << text;
        if (answers.empty()) return false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

std::vector<std::string> FileNames(const std::vector<std::string>& paths) {
    std::vector<std::string> names;
    for (const std::string& path : paths) names.push_back(fs::path(path).filename());
    return names;
}

std::string Contents(const std::string& path) {
    return lumo::ReadWholeFile(path).value_or("<missing " + path + ">");
}

std::string HeaderName(const std::string& path) {
    std::string error;
    const auto font = glyphbake::LxfFont::readFile(path, error);
    return font ? font->header().nameText() : "unreadable: " + error;
}

// A font folder with the Book, Book BOLD and Book BOLD ITALIC faces and the Paper family, a
// settings file naming it, and a reader connection that is not connected.
class FontPageTest : public TestFolder {
protected:
    void SetUp() override {
        TestFolder::SetUp();
        testApp();
        fs::create_directory(dir / "fonts");
        for (const char* name :
             {"book.ttf", "book-bold.ttf", "book-bold-italic.ttf", "paper.ttf", "paper-bold.ttf"}) {
            fs::copy_file(kFonts / name, dir / "fonts" / name);
        }
        std::ofstream(dir / "settings.ini")
            << "[Data Locations]\nFontDir=" << (dir / "fonts").string() << "\n";
        settings = std::make_unique<CLXSettingsStore>((dir / "settings.ini").string());
        for (const auto& entry : fs::directory_iterator(lumo::PrivateTempDir())) {
            if (entry.path().extension() == ".LXF") fs::remove(entry.path());
        }
    }

    std::unique_ptr<TestFontPage> OpenPage(CLumoConnect& connection) {
        auto page = std::make_unique<TestFontPage>(connection, sendList, prompts, *settings);
        page->Activate();
        return page;
    }

    template <typename Widget>
    static Widget* Control(CLXPageFont& page, const char* name) {
        auto* widget = page.findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    static QStringList Items(QComboBox* box) {
        QStringList items;
        for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
        return items;
    }
    // What Qt does when the user picks an item of a box.
    static void Choose(QComboBox* box, const QString& text) {
        const int index = box->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    static void TypeSize(QComboBox* box, const QString& text) {
        box->lineEdit()->clear();
        QTest::keyClicks(box->lineEdit(), text.isEmpty() ? QStringLiteral("1") : text);
        if (text.isEmpty()) QTest::keyClick(box->lineEdit(), Qt::Key_Backspace);
    }
    static void ChooseFont(CLXPageFont& page, const char* group, const QString& face,
                           const QString& size) {
        const std::string prefix(group);
        Choose(Control<QComboBox>(page, (prefix + "Face").c_str()), face);
        TypeSize(Control<QComboBox>(page, (prefix + "Size").c_str()), size);
    }

    lumosim::HostConnection reader;  // never connected: the status cannot be read
    std::vector<std::string> sendList;
    RecordingPrompts prompts;
    std::unique_ptr<CLXSettingsStore> settings;
};

TEST_F(FontPageTest, WithoutAReaderThePageListsTheFacesAndLeavesTheCurrentFontsEmpty) {
    auto page = OpenPage(reader);
    EXPECT_EQ(page->Title(), "Font");
    for (const char* group : {"large", "small"}) {
        const std::string prefix(group);
        auto* face = Control<QComboBox>(*page, (prefix + "Face").c_str());
        EXPECT_EQ(Items(face),
                  (QStringList{"Book", "Book BOLD", "Book BOLD ITALIC", "Paper", "Paper Bold"}));
        EXPECT_EQ(face->itemData(0).toByteArray().toStdString(), (dir / "fonts/book.ttf").string());
        EXPECT_EQ(face->currentIndex(), -1);
        EXPECT_EQ(Control<QComboBox>(*page, (prefix + "Size").c_str())->currentText(), "");
        EXPECT_EQ(Control<QLabel>(*page, (prefix + "Installed").c_str())->text(), "");
        EXPECT_EQ(Control<QLabel>(*page, (prefix + "Preview").c_str())->text(), "");
        EXPECT_FALSE(Control<QCheckBox>(*page, (prefix + "Default").c_str())->isChecked());
        EXPECT_TRUE(face->isEnabled());
    }
    EXPECT_TRUE(page->OnApply());  // nothing touched: nothing queued
    EXPECT_TRUE(sendList.empty());
    EXPECT_TRUE(prompts.told.empty());
}

TEST_F(FontPageTest, ThePreviewShowsTheChosenFaceAtTheTypedSize) {
    auto page = OpenPage(reader);
    auto* preview = Control<QLabel>(*page, "largePreview");
    ChooseFont(*page, "large", "Paper", "20");
    EXPECT_EQ(preview->text(), "Lumo eBook");
    EXPECT_EQ(preview->font().pointSize(), 20);
    EXPECT_EQ(preview->font().family(), "Paper");

    TypeSize(Control<QComboBox>(*page, "largeSize"), "abc");  // no size: the preview stays
    EXPECT_EQ(preview->font().pointSize(), 20);
    auto* size = Control<QComboBox>(*page, "largeSize");
    Choose(size, "14");
    EXPECT_EQ(size->currentText(), "14");
    EXPECT_EQ(preview->font().pointSize(), 14);
    EXPECT_EQ(Control<QLabel>(*page, "smallPreview")->text(), "");
}

TEST_F(FontPageTest, AFamilyWithoutItalicSendsTheEraseCommandsTheFilesAndTheInstallCommand) {
    auto page = OpenPage(reader);
    ChooseFont(*page, "large", "Book", "12");
    ChooseFont(*page, "small", "Paper", "10");
    ASSERT_TRUE(page->OnApply());
    EXPECT_TRUE(prompts.told.empty());
    EXPECT_TRUE(page->warnings.empty());

    ASSERT_EQ(FileNames(sendList),
              (std::vector<std::string>{"__CMDFILEfirst", "LARGE.LXF", "LARGEB.LXF", "LARGEBI.LXF",
                                        "SMALL.LXF", "SMALLB.LXF", "__CMDFILE"}));
    const std::string commandFile = reader.GetCmds()->GetPath();
    EXPECT_EQ(sendList.front(), commandFile + "first");
    EXPECT_EQ(sendList.back(), commandFile);
    EXPECT_EQ(
        Contents(sendList.front()),
        "CMD!\r\nDONTREPAG\r\n"
        "SETLARGE SYSTEM_LARGE SYSTEM_LARGE_ITALIC SYSTEM_LARGE_BOLD "
        "SYSTEM_LARGE_BOLD_ITALIC\r\n"
        "FERASE LARGE.LXF\r\nFERASE LARGEI.LXF\r\nFERASE LARGEB.LXF\r\nFERASE LARGEBI.LXF\r\n"
        "SETSMALL SYSTEM_SMALL SYSTEM_SMALL_ITALIC SYSTEM_SMALL_BOLD "
        "SYSTEM_SMALL_BOLD_ITALIC\r\n"
        "FERASE SMALL.LXF\r\nFERASE SMALLI.LXF\r\nFERASE SMALLB.LXF\r\nFERASE SMALLBI.LXF\r\n");
    EXPECT_EQ(Contents(sendList.back()),
              "CMD!\r\nSETLARGE LARGE.LXF LARGE.LXF LARGEB.LXF LARGEBI.LXF\r\n"
              "SETSMALL SMALL.LXF SMALL.LXF SMALLB.LXF SMALL.LXF\r\nREPAG\r\n" +
                  kFiller + "\r\n");
    EXPECT_EQ(HeaderName(sendList[2]), "12pt Book BOLD");
    EXPECT_EQ(HeaderName(sendList[5]), "10pt Paper Bold");

    EXPECT_TRUE(page->OnApply());  // applied once: a second OK adds nothing
    EXPECT_EQ(sendList.size(), 7u);
}

TEST_F(FontPageTest, StylesMatchByCaseOnlySoDashedAndOtherWeightsAreNotBold) {
    for (const char* name : {"slate.ttf", "slate-dash-bold.ttf", "slate-demi.ttf"}) {
        fs::copy_file(kFonts / name, dir / "fonts" / name);
    }
    auto page = OpenPage(reader);
    ChooseFont(*page, "small", "Slate", "9");
    ASSERT_TRUE(page->OnApply());
    EXPECT_EQ(FileNames(sendList),
              (std::vector<std::string>{"__CMDFILEfirst", "SMALL.LXF", "__CMDFILE"}));
    EXPECT_EQ(
        Contents(sendList.back()),
        "CMD!\r\nSETSMALL SMALL.LXF SMALL.LXF SMALL.LXF SMALL.LXF\r\nREPAG\r\n" + kFiller + "\r\n");
    EXPECT_EQ(
        Contents(sendList.front()),
        "CMD!\r\nDONTREPAG\r\n"
        "SETSMALL SYSTEM_SMALL SYSTEM_SMALL_ITALIC SYSTEM_SMALL_BOLD "
        "SYSTEM_SMALL_BOLD_ITALIC\r\n"
        "FERASE SMALL.LXF\r\nFERASE SMALLI.LXF\r\nFERASE SMALLB.LXF\r\nFERASE SMALLBI.LXF\r\n");
}

TEST_F(FontPageTest, TheDefaultBoxSendsOnlyTheTwoCommandFilesAndMakesNoFontFile) {
    auto page = OpenPage(reader);
    auto* useDefault = Control<QCheckBox>(*page, "largeDefault");
    useDefault->click();
    EXPECT_FALSE(Control<QComboBox>(*page, "largeFace")->isEnabled());
    EXPECT_FALSE(Control<QComboBox>(*page, "largeSize")->isEnabled());
    EXPECT_TRUE(Control<QComboBox>(*page, "smallFace")->isEnabled());
    ASSERT_TRUE(page->OnApply());  // no size needed for the built-in font
    EXPECT_EQ(FileNames(sendList), (std::vector<std::string>{"__CMDFILEfirst", "__CMDFILE"}));
    EXPECT_EQ(
        Contents(sendList[0]),
        "CMD!\r\nDONTREPAG\r\n"
        "SETLARGE SYSTEM_LARGE SYSTEM_LARGE_ITALIC SYSTEM_LARGE_BOLD "
        "SYSTEM_LARGE_BOLD_ITALIC\r\n"
        "FERASE LARGE.LXF\r\nFERASE LARGEI.LXF\r\nFERASE LARGEB.LXF\r\nFERASE LARGEBI.LXF\r\n");
    EXPECT_EQ(Contents(sendList[1]), "CMD!\r\nREPAG\r\n" + kFiller + "\r\n");
    EXPECT_FALSE(fs::exists(lumo::PrivateTempDir() / "LARGE.LXF"));
}

TEST_F(FontPageTest, AnInvalidSizeKeepsThePageOpenWithTheFocusOnTheSizeBox) {
    auto page = OpenPage(reader);
    for (const QString text : {"", "0", "abc", "99999999", "65548"}) {
        SCOPED_TRACE(text.toStdString());
        prompts.told.clear();
        ChooseFont(*page, "small", "Book", text);
        Control<QComboBox>(*page, "smallFace")->setFocus();
        EXPECT_FALSE(page->OnApply());
        EXPECT_EQ(prompts.told, QStringList{"Please enter a valid point size."});
        EXPECT_EQ(prompts.titles.back(), "lumoshelf");
        EXPECT_TRUE(sendList.empty());
        EXPECT_EQ(page->focusWidget(), Control<QComboBox>(*page, "smallSize"));
    }
}

TEST_F(FontPageTest, AFailedConversionIsReportedQueuesNothingAndASecondOkQueuesOnce) {
    auto page = OpenPage(reader);
    ChooseFont(*page, "large", "Book", "12000");  // a cell far wider than 255 pixels
    EXPECT_FALSE(page->OnApply());
    EXPECT_EQ(prompts.told,
              QStringList{"The font could not be converted for the Lumo eBook. Choose another "
                          "font or a smaller point size."});
    EXPECT_TRUE(sendList.empty());

    ChooseFont(*page, "large", "Book", "12");
    ASSERT_TRUE(page->OnApply());
    EXPECT_EQ(FileNames(sendList),
              (std::vector<std::string>{"__CMDFILEfirst", "LARGE.LXF", "LARGEB.LXF", "LARGEBI.LXF",
                                        "__CMDFILE"}));
}

TEST_F(FontPageTest, CancellingTheSizeWarningLeavesBothFamiliesUnapplied) {
    auto page = OpenPage(reader);
    ChooseFont(*page, "large", "Paper", "600");
    ChooseFont(*page, "small", "Book", "12");
    EXPECT_FALSE(page->OnApply());
    EXPECT_EQ(page->warnings, QStringList{QString::fromStdString(kLargeWarning)});
    EXPECT_TRUE(sendList.empty());
    EXPECT_FALSE(fs::exists(lumo::PrivateTempDir() / "SMALL.LXF"));

    EXPECT_TRUE(page->OnApply());  // the choices were dropped: nothing left to apply
    EXPECT_TRUE(sendList.empty());
    EXPECT_EQ(page->warnings.size(), 1);
}

TEST_F(FontPageTest, AcceptingTheSizeWarningQueuesTheLargeFile) {
    auto page = OpenPage(reader);
    page->answers = {true};
    ChooseFont(*page, "large", "Paper", "600");
    ASSERT_TRUE(page->OnApply());
    EXPECT_EQ(page->warnings.size(), 1);
    ASSERT_EQ(FileNames(sendList),
              (std::vector<std::string>{"__CMDFILEfirst", "LARGE.LXF", "LARGEB.LXF", "__CMDFILE"}));
    EXPECT_GT(fs::file_size(sendList[1]), 200000u);
}

TEST_F(FontPageTest, TheSizeWarningIsAnOkCancelWarningBox) {
    CLXPageFont page(reader, sendList, prompts, *settings);
    page.Activate();
    ChooseFont(page, "large", "Paper", "600");
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = box->standardButtons();
        box->button(QMessageBox::Cancel)->click();
    });
    EXPECT_FALSE(page.OnApply());
    EXPECT_EQ(title, "Warning");
    EXPECT_EQ(text.toStdString(), kLargeWarning);
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_EQ(buttons, QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_TRUE(sendList.empty());
}

TEST_F(FontPageTest, NoChosenFaceIsAFailedConversion) {
    auto page = OpenPage(reader);
    TypeSize(Control<QComboBox>(*page, "largeSize"), "12");
    EXPECT_FALSE(page->OnApply());
    EXPECT_EQ(prompts.told.size(), 1);
    EXPECT_TRUE(sendList.empty());
}

// The page against a simulated reader: the current fonts come from its status, and the files
// the page queues install the new font when they are sent.
class FontPageReaderTest : public FontPageTest {};

TEST_F(FontPageReaderTest, ShowsTheReadersFontsAndTheQueuedFilesInstallTheNewOne) {
    lumosim::SimulatorOptions options;
    options.flash = dir / "flash";
    fs::create_directory(options.flash);
    lumosim::ReaderHarness harness(options);
    ASSERT_TRUE(harness.Connect());

    auto page = OpenPage(harness.Host());
    EXPECT_EQ(Control<QLabel>(*page, "largeInstalled")->text(), "Lumo Serif 14");
    EXPECT_EQ(Control<QLabel>(*page, "smallInstalled")->text(), "Lumo Serif 10");
    auto* largeSize = Control<QComboBox>(*page, "largeSize");
    EXPECT_EQ(largeSize->currentIndex(), largeSize->findText("14"));
    EXPECT_TRUE(Control<QCheckBox>(*page, "largeDefault")->isChecked());
    EXPECT_FALSE(Control<QComboBox>(*page, "largeFace")->isEnabled());
    EXPECT_EQ(Control<QComboBox>(*page, "largeFace")->currentText(), "Book");  // not listed
    EXPECT_EQ(Control<QLabel>(*page, "largePreview")->text(), "Lumo eBook");

    Control<QCheckBox>(*page, "largeDefault")->click();
    ChooseFont(*page, "large", "Book BOLD", "13");
    ASSERT_TRUE(page->OnApply());
    for (const std::string& file : sendList) {
        ASSERT_EQ(harness.Send(file, fs::path(file).filename().string()), EB_ERR_SUCCESS) << file;
    }
    EXPECT_EQ(harness.Reader().Settings().largeFont.name, "13pt Book BOLD");

    harness.Host().GetStatus()->FlushStatusCache();
    ASSERT_TRUE(harness.Host().WaitForState(EB_ERR_STATUS_CONNECTED, std::chrono::seconds(10)));
    auto again = OpenPage(harness.Host());
    EXPECT_EQ(Control<QLabel>(*again, "largeInstalled")->text(), "Book BOLD 13");
    EXPECT_EQ(Control<QComboBox>(*again, "largeFace")->currentText(), "Book BOLD");
    EXPECT_FALSE(Control<QCheckBox>(*again, "largeDefault")->isChecked());
    EXPECT_EQ(Control<QComboBox>(*again, "largeSize")->currentIndex(), -1);  // 13 is not listed
    EXPECT_EQ(Control<QComboBox>(*again, "largeSize")->currentText(), "13");
}

}  // namespace
