#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "ReaderFixture.h"
#include "settings/LXFormatDlg.h"
#include "transfers/LXProgressDlg.h"

namespace fs = std::filesystem;

namespace {

class FormatDlgTest : public ReaderFixture {
protected:
    void PutTitleOnReader() {
        fs::create_directories(dir / "flash");
        Write("flash/moby.lx", std::string(300, 'm'));
    }
    static void PressOk(CLXFormatDlg& dialog, const QString& confirmation) {
        dialog.findChild<QLineEdit*>("confirmation")->setText(confirmation);
        dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    }
};

TEST_F(FormatDlgTest, OnlyTheExactWordFormats) {
    StartReader();
    CLXFormatDlg dialog(nullptr, *worker, prompts);
    EXPECT_EQ(dialog.windowTitle(), "Format Lumo eBook");
    EXPECT_EQ(dialog.findChild<QLabel*>("instruction")->text(),
              "To format your Lumo eBook, enter \"yes\" in the edit box then press the \"OK\" "
              "button.");
    dialog.show();
    const QString wrong[] = {"Yes", "YES", "yes ", " yes", "", "yess", "ye"};
    for (const QString& word : wrong) PressOk(dialog, word);
    EXPECT_EQ(prompts.told,
              QStringList(std::size(wrong), "You must enter the correct confirmation."));
    EXPECT_EQ(prompts.icons.back(), UserPrompts::Icon::Stop);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.findChild<CLXProgressDlg*>(), nullptr);
    EXPECT_EQ(reader->Session().commandFiles, 0u);
}

TEST_F(FormatDlgTest, YesSendsTheReadersDirectoryInitialisationAndClosesWhenSent) {
    PutTitleOnReader();
    StartReader();
    CLXFormatDlg dialog(nullptr, *worker, prompts);
    dialog.show();
    PressOk(dialog, "yes");
    EXPECT_EQ(Text(worker->GetCmds()->GetPath()),
              std::string("CMD!\r\nINITDIR ") + kReaderId + "\r\n");
    EXPECT_NE(dialog.findChild<CLXProgressDlg*>(), nullptr);
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_TRUE(PumpUntil([&] { return !dialog.isVisible(); }));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(prompts.told.isEmpty()) << prompts.told.join(" | ").toStdString();
    const lumosim::ReaderSettings settings = reader->Settings();
    EXPECT_EQ(settings.lastError, 0);
    EXPECT_EQ(settings.syncCount, 1);
    EXPECT_FALSE(fs::exists(dir / "flash/moby.lx"));
}

TEST_F(FormatDlgTest, WithoutAReaderNothingIsSent) {
    StartWithoutReader();
    CLXFormatDlg dialog(nullptr, *worker, prompts);
    dialog.show();
    PressOk(dialog, "yes");
    EXPECT_EQ(prompts.told, QStringList{"Error trying to format your Lumo eBook"});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.findChild<CLXProgressDlg*>(), nullptr);
}

TEST_F(FormatDlgTest, ACommandFileThatCannotBeWrittenIsNotSent) {
    StartReader();
    CLXFormatDlg dialog(nullptr, *worker, prompts);
    dialog.show();
    const fs::path commandFile = worker->GetCmds()->GetPath();
    fs::remove(commandFile);
    fs::create_directory(commandFile);
    PressOk(dialog, "yes");
    fs::remove(commandFile);
    EXPECT_EQ(prompts.told, QStringList{"Error trying to format your Lumo eBook"});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.findChild<CLXProgressDlg*>(), nullptr);
    EXPECT_EQ(reader->Session().commandFiles, 0u);
}

TEST_F(FormatDlgTest, CancellingTheTransferClosesTheDialogToo) {
    PutTitleOnReader();
    StartReader();
    reader->SetSilent(true);
    CLXFormatDlg dialog(nullptr, *worker, prompts);
    dialog.show();
    PressOk(dialog, "yes");
    auto* progress = dialog.findChild<CLXProgressDlg*>();
    ASSERT_NE(progress, nullptr);
    // While the format is sent, the dialog's own Cancel does not leave it.
    dialog.reject();
    EXPECT_TRUE(dialog.isVisible());
    progress->findChild<QPushButton*>("cancel")->click();
    ASSERT_TRUE(PumpUntil([&] { return !dialog.isVisible(); }));
    reader->SetSilent(false);
    EXPECT_TRUE(fs::exists(dir / "flash/moby.lx"));
}

TEST_F(FormatDlgTest, CancelSendsNothing) {
    StartReader();
    CLXFormatDlg dialog(nullptr, *worker, prompts);
    dialog.show();
    dialog.findChild<QLineEdit*>("confirmation")->setText("yes");
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(dialog.findChild<CLXProgressDlg*>(), nullptr);
    EXPECT_EQ(reader->Session().commandFiles, 0u);
}

}  // namespace
