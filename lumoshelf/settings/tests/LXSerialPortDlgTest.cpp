#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <filesystem>
#include <fstream>
#include <mutex>
#include "TestApp.h"

#include "PtyPort.h"
#include "library/SettingsStore.h"
#include "settings/LXSerialPortDlg.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// The worker as the dialog sees it; the reader answers on one device path.
class FakeWorker : public CLXSerialPortLink {
public:
    FakeWorker(CLXSettingsStore& settings, std::string readerPort)
        : settings_(settings), readerPort_(std::move(readerPort)) {}
    int Disconnect() override {
        std::lock_guard lock(mutex);
        port.clear();
        calls.push_back("Disconnect");
        return 0;
    }
    int Connect(const char* portName, int) override {
        std::lock_guard lock(mutex);
        port = portName != nullptr ? portName : settings_.StringOr("DataComm", "ComPort");
        calls.push_back("Connect " + std::string(portName != nullptr ? portName : "(settings)"));
        return connectResult;
    }
    int GetEbConnectState() override {
        std::lock_guard lock(mutex);
        return port == readerPort_ ? 10 : 11;
    }
    int SetFirmwareMode(int on) override {
        std::lock_guard lock(mutex);
        return std::exchange(firmwareMode, on);
    }

    std::mutex mutex;
    std::vector<std::string> calls;
    std::string port;
    int firmwareMode = 0;
    int connectResult = 0;

private:
    CLXSettingsStore& settings_;
    std::string readerPort_;
};

class TestDialog : public CLXSerialPortDlg {
public:
    using CLXSerialPortDlg::CLXSerialPortDlg;
    std::vector<QString> messages;

protected:
    void ShowMessage(const QString&, const QString& text) override { messages.push_back(text); }
};

class SerialPortDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        std::string pattern = (fs::temp_directory_path() / "lumoportdlg-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override { fs::remove_all(dir); }

    // COM1 and COM2 free, the reader on COM3, COM4 held by another program, COM5 and COM6 absent.
    std::unique_ptr<CLXSettingsStore> Settings(const std::string& extra) {
        std::ofstream(dir / "settings.ini")
            << "[DataComm]\nCOM1=" << com1.Path() << "\nCOM2=" << com2.Path()
            << "\nCOM3=" << com3.Path() << "\nCOM4=" << com4.Path()
            << "\nCOM5=/dev/lumo-absent-5\nCOM6=/dev/lumo-absent-6\n"
            << extra;
        return std::make_unique<CLXSettingsStore>((dir / "settings.ini").string());
    }

    static void WaitUntil(const std::function<bool()>& condition) {
        QElapsedTimer timer;
        timer.start();
        while (!condition() && timer.elapsed() < 20000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
    }

    fs::path dir;
    PtyPort com1, com2, com3, com4;
};

TEST_F(SerialPortDlgTest, OkStoresTheChoicesAndReconnects) {
    auto settings = Settings("ComPort=com2\nBaud=15\n");
    FakeWorker worker(*settings, "");
    worker.connectResult = 15;
    {
        TestDialog dialog(nullptr, *settings, worker);
        EXPECT_EQ(worker.firmwareMode, 1);
        EXPECT_EQ(dialog.findChild<QLabel*>("messageLine")->text(),
                  "Make sure your Lumo eBook is docked and turned on.");
        EXPECT_EQ(dialog.findChild<QRadioButton*>("port1")->text(),
                  QString("Com &1 (%1)").arg(QString::fromStdString(com1.Path())));
        for (int i = 1; i <= 6; ++i) {
            EXPECT_FALSE(dialog.findChild<QRadioButton*>(QString("port%1").arg(i))->isChecked());
        }
        dialog.findChild<QPushButton*>("ok")->click();
        ASSERT_EQ(dialog.messages.size(), 1u);
        EXPECT_TRUE(dialog.messages[0].startsWith("An error occurred while connecting"));
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    EXPECT_EQ(settings->StringOr("DataComm", "ComPort"), "COM1");
    EXPECT_EQ(settings->StringOr("DataComm", "Baud"), "15");
    EXPECT_EQ(settings->StringOr("DataComm", "KestrelPort"), "5555");
    EXPECT_EQ(settings->StringOr("DataComm", "Shared ComPort"), "0");
    EXPECT_EQ(worker.calls, (std::vector<std::string>{"Disconnect", "Connect (settings)"}));
    EXPECT_EQ(worker.firmwareMode, 0);
}

TEST_F(SerialPortDlgTest, TheSearchFindsTheReaderAndTicksItsPort) {
    ASSERT_TRUE(com4.Hold());
    auto settings = Settings("ComPort=COM1\n");
    FakeWorker worker(*settings, "COM3");
    TestDialog dialog(nullptr, *settings, worker, 300ms);
    dialog.OnLocate();
    EXPECT_EQ(dialog.findChild<QPushButton*>("locate")->text(), "Cancel");
    EXPECT_FALSE(dialog.findChild<QPushButton*>("ok")->isEnabled());
    dialog.reject();
    EXPECT_TRUE(dialog.isModal());
    WaitUntil([&] { return !dialog.IsSearchRunning(); });

    ASSERT_EQ(dialog.messages.size(), 1u);
    EXPECT_EQ(dialog.messages[0], "Your Lumo eBook was found on COM3. Click 'OK' to select");
    EXPECT_TRUE(dialog.findChild<QRadioButton*>("port3")->isChecked());
    const char* lines[] = {"Port Present, Lumo eBook Not Attached",
                           "Port Present, Lumo eBook Not Attached",
                           "Port Present, Lumo eBook Attached",
                           "Port Present, Other Device Attached",
                           "Port Absent",
                           "Port Absent"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(dialog.findChild<QLabel*>(QString("status%1").arg(i + 1))->text(), lines[i]);
    }
    EXPECT_TRUE(dialog.findChild<QPushButton*>("ok")->isEnabled());
    EXPECT_EQ(dialog.findChild<QPushButton*>("locate")->text(), "&Locate Lumo eBook Serial Port");
    EXPECT_EQ(dialog.result(), 0);  // the reject during the search was ignored
}

TEST_F(SerialPortDlgTest, ACancelledSearchShowsNoSummaryAndChangesNoSetting) {
    auto settings = Settings("ComPort=COM2\n");
    FakeWorker worker(*settings, "");
    TestDialog dialog(nullptr, *settings, worker, 10s);
    dialog.OnLocate();
    WaitUntil([&] { return dialog.findChild<QLabel*>("status1")->text().contains("searching"); });
    dialog.OnLocate();
    auto* locate = dialog.findChild<QPushButton*>("locate");
    EXPECT_EQ(locate->text(), "&Locate Lumo eBook Serial Port");
    WaitUntil([&] { return locate->isEnabled(); });
    EXPECT_TRUE(dialog.messages.empty());
    EXPECT_TRUE(dialog.findChild<QPushButton*>("ok")->isEnabled());
    EXPECT_EQ(settings->StringOr("DataComm", "ComPort"), "COM2");

    worker.calls.clear();
    dialog.reject();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(worker.calls, (std::vector<std::string>{"Disconnect", "Connect (settings)"}));
    EXPECT_EQ(worker.firmwareMode, 0);
}

}  // namespace
