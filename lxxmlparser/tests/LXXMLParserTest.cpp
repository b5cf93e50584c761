#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "lxxmlparser/LXXMLParser.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kTitlePath = "package/metadata/dc-metadata/Title";

class LXXMLParserTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "lxxml-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override { fs::remove_all(dir); }

    int Lookup(const std::string& xml, char* buffer, int size) {
        std::ofstream(dir / "p.opf") << xml;
        CLXXMLParser parser;
        return parser.m_fnLXGetXMLPath((dir / "p.opf").c_str(), kTitlePath, buffer, size);
    }
    fs::path dir;
};

TEST_F(LXXMLParserTest, FindsTheTitleByLocalNames) {
    char buffer[100] = {};
    ASSERT_EQ(Lookup("<package xmlns:dc='urn:dc'><metadata><dc-metadata><dc:Title>\n  Moby Dick "
                     "</dc:Title></dc-metadata></metadata></package>",
                     buffer, sizeof buffer),
              0);
    EXPECT_STREQ(buffer, "Moby Dick");

    ASSERT_EQ(Lookup("<package><metadata><dc-metadata><dc:Title>Undeclared Prefix</dc:Title>"
                     "</dc-metadata></metadata></package>",
                     buffer, sizeof buffer),
              0);
    EXPECT_STREQ(buffer, "Undeclared Prefix");
}

TEST_F(LXXMLParserTest, CutsLongTextToTheBuffer) {
    char buffer[8];
    ASSERT_EQ(Lookup("<package><metadata><dc-metadata><title>Very long title</title>"
                     "</dc-metadata></metadata></package>",
                     buffer, sizeof buffer),
              0);
    EXPECT_STREQ(buffer, "Very lo");

    ASSERT_EQ(Lookup("<package><metadata><dc-metadata><title>Caf\xC3\xA9s</title>"
                     "</dc-metadata></metadata></package>",
                     buffer, 5),
              0);
    EXPECT_STREQ(buffer, "Caf");
}

TEST_F(LXXMLParserTest, FailsWithoutATitle) {
    const char* cases[] = {
        "<package><metadata><dc-metadata/></metadata></package>",
        "<package><metadata><dc-metadata><Title>  </Title></dc-metadata></metadata></package>",
        "<other><metadata><dc-metadata><Title>X</Title></dc-metadata></metadata></other>",
        "<package><metadata><dc-metadata><Title>X</Title>",
        "",
    };
    for (const char* xml : cases) {
        char buffer[100] = "untouched";
        EXPECT_NE(Lookup(xml, buffer, sizeof buffer), 0) << xml;
    }
}

TEST_F(LXXMLParserTest, DoesNotExpandExternalEntities) {
    std::ofstream(dir / "secret") << "SECRET";
    char buffer[100] = {};
    const std::string xml = "<?xml version='1.0'?><!DOCTYPE package [<!ENTITY x SYSTEM 'file://" +
                            (dir / "secret").string() +
                            "'>]><package><metadata><dc-metadata><Title>A&x;</Title>"
                            "</dc-metadata></metadata></package>";
    Lookup(xml, buffer, sizeof buffer);
    EXPECT_EQ(std::string(buffer).find("SECRET"), std::string::npos);
}

}  // namespace
