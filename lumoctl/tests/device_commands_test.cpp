// lumoctl's device commands against lumosim on a pseudo-terminal.

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using ::testing::HasSubstr;
namespace fs = std::filesystem;

struct CommandRun {
    int exitCode;
    std::string output;
};

// Runs a command line through the shell, standard output and error together.
CommandRun RunCommand(const std::string& command) {
    CommandRun run{-1, {}};
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[4096];
    size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

class DeviceCommands : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "lumoctl-test-XXXXXX").string();
        folder = mkdtemp(pattern.data());
        port = (folder / "port").string();
        const std::string flash = (folder / "flash").string();
        const std::string log = (folder / "sim.log").string();
        std::vector<std::string> args = {LUMOSIM_PATH, "--flash", flash, "--link", port};
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ASSERT_EQ(posix_spawn(&simulator, LUMOSIM_PATH, &actions, nullptr, argv.data(), environ),
                  0);
        posix_spawn_file_actions_destroy(&actions);
        for (int i = 0; i < 500 && !fs::exists(port); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ASSERT_TRUE(fs::exists(port));
        settings = (folder / "settings.ini").string();
        std::ofstream(settings) << "[DataComm]\nComPort=" << port << "\nBaud=31\n";
    }

    void TearDown() override {
        kill(simulator, SIGTERM);
        waitpid(simulator, nullptr, 0);
        fs::remove_all(folder);
    }

    CommandRun Lumoctl(const std::string& arguments) {
        return RunCommand(std::string(LUMOCTL_PATH) + " --settings '" + settings + "' " +
                          arguments);
    }

    fs::path folder;
    std::string port;
    std::string settings;
    pid_t simulator = -1;
};

TEST_F(DeviceCommands, FetchesFilesWithThePortFromTheSettings) {
    std::ofstream(folder / "flash" / "My Book.lx", std::ios::binary) << std::string(5000, 'b');
    const fs::path back = folder / "back.lx";
    CommandRun fetched = Lumoctl("device fetch 'My Book.lx' '" + back.string() + "'");
    ASSERT_EQ(fetched.exitCode, 0) << fetched.output;
    EXPECT_EQ(fs::file_size(back), 5000u);

    CommandRun missing = Lumoctl("device fetch NoSuchFile '" + (folder / "none").string() + "'");
    EXPECT_NE(missing.exitCode, 0);
    EXPECT_THAT(missing.output, HasSubstr("EB_ERR_CANT_ACCESS_REMOTE_FILE"));
    EXPECT_FALSE(fs::exists(folder / "none"));
}

TEST_F(DeviceCommands, CommandFilesChangeWhatTheStatusReports) {
    ASSERT_EQ(Lumoctl("device set-time-zone -5").exitCode, 0);
    ASSERT_EQ(Lumoctl("device set-date-format 2 -").exitCode, 0);
    ASSERT_EQ(Lumoctl("device set-auto-off 5").exitCode, 0);
    CommandRun status = Lumoctl("device status --json");
    ASSERT_EQ(status.exitCode, 0) << status.output;
    const auto values = nlohmann::json::parse(status.output);
    EXPECT_EQ(values["timeZone"], -5);
    EXPECT_EQ(values["dateFormat"]["style"], 2);
    EXPECT_EQ(values["dateFormat"]["separator"], "-");
    EXPECT_EQ(values["shutdownTime"], 300);

    CommandRun info = Lumoctl("device info");
    ASSERT_EQ(info.exitCode, 0) << info.output;
    EXPECT_THAT(info.output, HasSubstr("identifier: LUMOSIM-0001"));
}

TEST_F(DeviceCommands, FailuresNameTheLinkResult) {
    CommandRun absent = Lumoctl("--port " + (folder / "no-port").string() + " device info");
    EXPECT_NE(absent.exitCode, 0);
    EXPECT_THAT(absent.output, HasSubstr("EB_ERR_CANT_ACCESS_PORT"));

    CommandRun badTime = Lumoctl("device set-time 2026-13-01 10:00:00");
    EXPECT_NE(badTime.exitCode, 0);
    EXPECT_THAT(badTime.output, HasSubstr("YYYY-MM-DD HH:MM:SS"));
}

}  // namespace
