#pragma once

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "RecordingPrompts.h"
#include "TestApp.h"
#include "TestFolder.h"
#include "library/FileUtil.h"
#include "lumosim/Simulator.h"
#include "transfers/TransferWorker.h"

// The child widget of that object name; the test fails when there is none.
template <typename T>
T& Child(QWidget& parent, const char* name) {
    T* child = parent.findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return *child;
}

// A simulated reader on a pseudo-terminal, the transfer worker connected to it, the sheet's
// send list and the prompts that record every message.
class ReaderFixture : public TestFolder {
protected:
    static constexpr const char* kReaderId = "SHEET-READER-3";

    void SetUp() override {
        TestFolder::SetUp();
        testApp();
    }
    void TearDown() override {
        worker.reset();
        if (reader) reader->Stop();
        reader.reset();
        TestFolder::TearDown();
    }

    void StartReader() {
        lumosim::SimulatorOptions options;
        options.flash = dir / "flash";
        options.identifier = kReaderId;
        reader = std::make_unique<lumosim::Simulator>(options);
        reader->Start();
        Write("settings.ini", "[DataComm]\nComPort=" + reader->DevicePath() + "\nBaud=31\n");
        worker = std::make_unique<CLXTransferWorker>((dir / "settings.ini").string());
        ASSERT_EQ(worker->Connect(nullptr, 0), EB_ERR_SUCCESS);
        ASSERT_TRUE(worker->WaitConnected(std::chrono::seconds(20)));
    }

    // A worker whose port has no reader behind it.
    void StartWithoutReader() {
        Write("settings.ini", "[DataComm]\nComPort=" + (dir / "no-port").string() + "\n");
        worker = std::make_unique<CLXTransferWorker>((dir / "settings.ini").string());
    }

    // Gives the reader settings of its own before a page reads them, as an earlier program would.
    void SetOnReader(const std::string& commands) {
        const auto file = Write("setup", "CMD!\r\n" + commands + "\r\n");
        ASSERT_EQ(worker->SendFile(file.string(), "__CMDFILEsetup", 1, 0, nullptr, {}, 0, 1, 0),
                  EB_ERR_SUCCESS);
        worker->FlushStatusCache();
        // The link is busy for a moment after a file; the pages read the status once it is idle.
        ASSERT_TRUE(
            PumpUntil([&] { return worker->GetEbConnectState() == EB_ERR_STATUS_CONNECTED; }));
    }

    // The command file's copy with a page's suffix, beside the command file in the private folder.
    std::string CommandFileCopy(const char* suffix) const {
        const std::string commandFile = worker->GetCmds()->GetPath();
        EXPECT_EQ(commandFile.substr(commandFile.rfind('/')), "/__CMDFILE");
        return commandFile + suffix;
    }

    static std::string Text(const std::string& path) {
        return lumo::ReadWholeFile(path).value_or("");
    }

    static bool PumpUntil(const std::function<bool()>& condition) {
        QElapsedTimer timer;
        timer.start();
        while (!condition() && timer.elapsed() < 30000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        return condition();
    }

    std::unique_ptr<lumosim::Simulator> reader;
    std::unique_ptr<CLXTransferWorker> worker;
    std::vector<std::string> sendList;
    RecordingPrompts prompts;
};
