#include <gtest/gtest.h>

#include <string>

#include "glyphbake/glyphbake.h"
#include "test_support.h"

namespace glyphbake::test {
namespace {

std::string reportOf(const std::string& font, int sampleChar) {
    testing::internal::CaptureStdout();
    const int result = FC_TTFtoLXF(font.c_str(), 72, 2, nullptr, sampleChar, 1, 0);
    std::string report = testing::internal::GetCapturedStdout();
    EXPECT_EQ(result, 0);
    return report;
}

const std::string kRule = std::string(47, '-');

TEST(ConversionReport, ListsNamesMapsCellAndDrawsTheSample) {
    // The sample "neg" (x -2..3, y 0..5) is drawn from the cell's bottom-left corner, eight
    // pixels for each of the row's two bytes although the cell is 11 pixels wide.
    std::string drawing;
    for (int row = 0; row < 15; ++row) {
        drawing += row < 10 ? "................\n" : "*****...........\n";
    }
    EXPECT_EQ(reportOf(fixtureFont("shapes.ttf"), 'C'),
              "glyphbake Version 1.3.5\n" + kRule + "\n" +
                  "Glyphbake Test Shapes - Version 1.000\n\n"
                  "Copyright notice\n\n"
                  "Trademark text\n" +
                  kRule +
                  "\n\n"
                  "CharMap: 0  Platform 0  Encoding 3\n"
                  "CharMap: 1  Platform 1  Encoding 0\n"
                  "CharMap: 2  Platform 3  Encoding 1\n"
                  "First char: 44  Last char: 511\n"
                  "Font Info: Bitmap Width: 11  Box min y: -3  Height: 13  Number of glyphs: 13\n"
                  "Glyph Info: xMin: -2  xMax: 3  yMin: 0  yMax: 5  advance: 6.0\n" +
                  drawing);
}

TEST(ConversionReport, NamesThatAreMissingAreLeftOut) {
    const std::string report = reportOf(fixtureFont("names-none.ttf"), 'A');
    EXPECT_NE(report.find("glyphbake Version 1.3.5\n" + kRule + "\n\n" + kRule + "\n\n"),
              std::string::npos)
        << report;
}

TEST(ConversionReport, NothingIsPrintedUnlessAsked) {
    testing::internal::CaptureStdout();
    EXPECT_EQ(FC_TTFtoLXF(fixtureFont("shapes.ttf").c_str(), 72, 2, nullptr, 'C', 0, 0), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

}  // namespace
}  // namespace glyphbake::test
