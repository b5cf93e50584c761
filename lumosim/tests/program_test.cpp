// The lumosim program as a user starts it.

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "HostPort.h"
#include "lumosim/ReaderPackets.h"
#include "lumosim/harness/TestFiles.h"

extern char** environ;

namespace lumosim {
namespace {

// Runs the program with its standard output on a pipe.
class Program {
public:
    explicit Program(std::vector<std::string> arguments) {
        int out[2];
        if (pipe(out) != 0) throw std::runtime_error("pipe");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        arguments.insert(arguments.begin(), LUMOSIM_PROGRAM);
        std::vector<char*> argv;
        for (auto& argument : arguments) argv.push_back(argument.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, LUMOSIM_PROGRAM, &actions, nullptr, argv.data(), environ) != 0)
            throw std::runtime_error("cannot start lumosim");
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        output_ = fdopen(out[0], "r");
    }

    ~Program() {
        if (pid_ > 0) Stop();
        std::fclose(output_);
    }

    std::string Line() {
        char line[512] = {};
        if (!std::fgets(line, sizeof line, output_)) return {};
        std::string text(line);
        if (!text.empty() && text.back() == '\n') text.pop_back();
        return text;
    }

    std::string Rest() {
        std::string text;
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, output_)) > 0;)
            text.append(buffer, n);
        return text;
    }

    int Stop() {
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    int Wait() {
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    std::FILE* output_ = nullptr;
};

TEST(ProgramTest, PrintsTheDevicePathFirstAndAnswersThere) {
    testing::TempFolder folder;
    const auto link = folder.Path() / "lumo-reader";
    Program program(
        {"--flash", (folder.Path() / "flash").string(), "--link", link.string(), "--id", "PROG-7"});
    const std::string device = program.Line();
    ASSERT_EQ(device.rfind("/dev/pts/", 0), 0u) << device;
    EXPECT_EQ(std::filesystem::read_symlink(link), device);
    EXPECT_TRUE(std::filesystem::is_directory(folder.Path() / "flash"));

    testing::HostPort host(link);
    host.Send(lumolink::LUMI_CHECK);
    const auto answer = host.Receive();
    ASSERT_TRUE(answer);
    const std::string identity(answer->data.begin(), answer->data.end());
    EXPECT_EQ(identity.substr(0, identity.find('\0')), "001.024-RM-024-R/PROG-7");

    EXPECT_EQ(program.Stop(), 0);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

TEST(ProgramTest, HelpNamesTheOptionsAndBadOptionsFail) {
    Program help({"--help"});
    const std::string text = help.Rest();
    EXPECT_EQ(help.Wait(), 0);
    for (const char* option : {"--flash", "--link", "--id", "--firmware", "--pace", "--drop",
                               "--corrupt", "--seed", "--silent", "--refuse", "--verbose"}) {
        EXPECT_NE(text.find(option), std::string::npos) << option;
    }
    Program bad({"--drop", "2"});
    EXPECT_NE(bad.Wait(), 0);
}

}  // namespace
}  // namespace lumosim
