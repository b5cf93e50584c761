#include "EditionBuilder.h"
#include "TestFolder.h"
#include "transfers/TitleListConversion.h"

namespace {

class TitleListConversionTest : public TestFolder {};

TEST_F(TitleListConversionTest, AddsTheSectionDropsCarriageReturnsAndTheLastByte) {
    const std::pair<std::string, std::string> table[] = {
        {std::string("Version=1\r\nTITLECOUNT=0\r\n\0", 26),
         "[LumoBook]\r\nVersion=1\nTITLECOUNT=0\n"},
        {"", "[LumoBook]\r\n"},
        {"\r\r\r", "[LumoBook]\r\n"},
        {"x", "[LumoBook]\r\n"},
    };
    for (const auto& [fetched, converted] : table) {
        EXPECT_EQ(lumo::ConvertReaderTitleListBytes(fetched), converted);
    }
}

TEST_F(TitleListConversionTest, RewritesTheFetchedFileInPlace) {
    const auto path = Write("__TITLES", "Version=\"2\"\r\nTITLECOUNT=1\r\nTitle0=url=\"u\"\r\n#");
    ASSERT_TRUE(lumo::ConvertReaderTitleList(path));
    EXPECT_EQ(testing_editions::ReadWholeFile(path),
              "[LumoBook]\r\nVersion=\"2\"\nTITLECOUNT=1\nTitle0=url=\"u\"\n");
    EXPECT_FALSE(lumo::ConvertReaderTitleList(dir / "missing"));
}

}  // namespace
