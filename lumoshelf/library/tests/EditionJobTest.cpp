#include "library/EditionJob.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "TempFolder.h"
#include "library/SettingsStore.h"

namespace {

TEST(EditionJob, FlagsWordsSetChoicesAndOptionBits) {
    struct Case {
        const char* flags;
        bool images, links, confirm;
        std::uint32_t options;  // as the converter gets them
    };
    const Case cases[] = {
        {"", false, false, true, 0},
        {"images links", true, true, true, 0x101},
        {"imagetext,noconfirm", true, false, false, 0x1},
        {"noimagetext", false, false, true, 0x4},
        {"noimagetext\tnoimages", false, false, true, 0},
        {"noimagetext images", true, false, true, 0x5},
        {"links, nolinks confirm", false, false, true, 0},
        {"notd", false, false, true, 0x20000},
        {"notd td NOTD Links", false, true, true, 0x20100},
        {"bogus,, ,noconfirm", false, false, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        EditionJob job;
        ApplyEditionFlags(c.flags, job);
        EXPECT_EQ(job.choices.images, c.images);
        EXPECT_EQ(job.choices.links, c.links);
        EXPECT_EQ(job.confirm, c.confirm);
        EXPECT_EQ(job.ConverterOptions(), c.options);
    }
}

TEST(EditionJob, JobFileIsReadAsProfileText) {
    const EditionJob job = ParseEditionJob(
        "[other]\r\nURL=wrong\r\n[LumoWriter]\r\nURL = http://books.example/a.htm\r\n"
        "Title=\"A Quoted Title\"\r\nAuthor=Ann\r\nSubEx=books\\.example\r\nLevels=2x\r\n"
        "Flags=links noconfirm\r\nURL=second\r\n");
    EXPECT_EQ(job.choices.source, "http://books.example/a.htm");
    EXPECT_EQ(job.choices.title, "A Quoted Title");
    EXPECT_EQ(job.choices.author, "Ann");
    EXPECT_EQ(job.choices.subExpression, "books\\.example");
    EXPECT_EQ(job.choices.levels, 2);
    EXPECT_TRUE(job.choices.links);
    EXPECT_FALSE(job.confirm);

    const EditionJob longValue = ParseEditionJob("[lumowriter]\nTitle=" + std::string(600, 't'));
    EXPECT_EQ(longValue.choices.title.size(), 511u);
    EXPECT_EQ(ParseEditionJob("[lumowriter]\nLevels=\n").choices.levels, 0);
}

TEST(EditionJob, SourceTest) {
    TempFolder folder;
    WriteTextFile(folder / "docs/a b.html", "<p>x</p>");
    const std::string base = folder.path().string();
    struct Case {
        std::string source, url;
    };
    const Case cases[] = {
        {"docs/a b.html", "file://" + base + "/docs/a%20b.html"},
        {"./docs/../docs/a b.html", "file://" + base + "/docs/a%20b.html"},
        {"docs/missing.html", "docs/missing.html"},
        {"http://x/y", "http://x/y"},
        {"https://x/a b?c", "https://x/a b?c"},
        {"C:\\a b.htm", "file:///C:/a%20b.htm"},
        {"c:/books/x.htm", "file:///c:/books/x.htm"},
        {"\\\\server\\share\\x.htm", "file:////server/share/x.htm"},
        {"/tmp/50%#1?.html", "file:///tmp/50%25%231%3F.html"},
        {"/tmp/caf\xc3\xa9\t.txt", "file:///tmp/caf%C3%A9%09.txt"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(EditionSourceUrl(c.source, base), c.url) << c.source;
}

TEST(EditionJob, ProxyText) {
    TempFolder folder;
    struct Case {
        const char* useProxy;  // null: missing
        const char* host;
        const char* port;
        std::string proxy;
    };
    const Case cases[] = {
        {nullptr, "proxy.example", "8080", ""},
        {"0", "proxy.example", "8080", ""},
        {"1", nullptr, "8080", ""},
        {"1", "", "8080", ""},
        {"1", "proxy.example", "8080", "http://proxy.example:8080/"},
        {"1", "HTTP://proxy.example/", "3128", "HTTP://proxy.example:3128/"},
        {"1", "proxy.example/", "0", "http://proxy.example"},
        {"1", "proxy.example", nullptr, "http://proxy.example"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.proxy);
        std::string ini = "[Registration]\n";
        if (c.useProxy) ini += std::string("UseProxy=") + c.useProxy + "\n";
        if (c.host) ini += std::string("ProxyHost=") + c.host + "\n";
        if (c.port) ini += std::string("ProxyPort=") + c.port + "\n";
        WriteTextFile(folder / "settings.ini", ini);
        const CLXSettingsStore settings(folder / "settings.ini");
        EXPECT_EQ(EditionProxyText(settings), c.proxy);
    }
}

TEST(EditionJob, WorkFolderIsEmptiedWithoutFollowingLinks) {
    namespace fs = std::filesystem;
    TempFolder folder;
    WriteTextFile(folder / "work/old.lx", "x");
    WriteTextFile(folder / "work/sub/deeper/page.html", "x");
    WriteTextFile(folder / "outside/keep.txt", "keep");
    fs::create_symlink(folder / "outside/keep.txt", folder / "work/link.txt");
    fs::create_directory_symlink(folder / "outside", folder / "work/sub/linked-dir");

    EXPECT_TRUE(EmptyWorkFolder(folder / "work"));
    EXPECT_TRUE(fs::is_directory(folder / "work/sub/deeper"));
    EXPECT_TRUE(fs::is_empty(folder / "work/sub/deeper"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(folder / "work/link.txt")));
    EXPECT_FALSE(fs::exists(fs::symlink_status(folder / "work/sub/linked-dir")));
    EXPECT_FALSE(fs::exists(folder / "work/old.lx"));
    EXPECT_EQ(ReadTextFile(folder / "outside/keep.txt"), "keep");
    EXPECT_EQ(EditionOutputName(41), "sp-00041.lx");
    EXPECT_EQ(EditionOutputName(123456), "sp-123456.lx");
}

}  // namespace
