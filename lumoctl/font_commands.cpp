// lumoctl font: converts TrueType fonts into reader fonts, names them, and shows LXF files as text.
#include <array>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "command_registry.h"
#include "glyphbake/LxfFile.h"
#include "glyphbake/glyphbake.h"

namespace lumoctl {
namespace {

constexpr int kLastCode = 511;

struct ConvertArguments {
    std::string ttfPath;
    int pointSize = 0;
    std::string outPath;
    int extraRows = 2;
    int sampleChar = 0;
    bool report = false;
    bool fixedWidth = false;
};

struct ShowArguments {
    std::string lxfPath;
    std::vector<std::string> codes;
};

// Results of the converter become exit codes; anything that does not fit in one is 1.
int exitCodeFor(int result) { return result > 0 && result < 256 ? result : 1; }

void runConvert(const ConvertArguments& args) {
    const int result =
        FC_TTFtoLXF(args.ttfPath.c_str(), args.pointSize, args.extraRows, args.outPath.c_str(),
                    args.sampleChar, args.report ? 1 : 0, args.fixedWidth ? 1 : 0);
    if (result != 0) {
        throw CommandFailure{
            "could not convert " + args.ttfPath + " (result " + std::to_string(result) + ")",
            exitCodeFor(result)};
    }
}

void runName(const std::string& ttfPath) {
    std::array<char, 257> name{};
    const int result = FC_GetFaceName(ttfPath.c_str(), name.data(), static_cast<int>(name.size()));
    if (name[0] != '\0') std::cout << name.data() << '\n';
    if (result == 1 && name[0] != '\0') {
        throw CommandFailure{ttfPath + " has no Unicode character map", 1};
    }
    if (result != 0) {
        throw CommandFailure{"could not read the face name of " + ttfPath, exitCodeFor(result)};
    }
}

// A code is a number (decimal, or hexadecimal with 0x) or a single character standing for itself.
int parseCode(const std::string& text) {
    if (text.size() == 1 && (text[0] < '0' || text[0] > '9')) {
        return static_cast<unsigned char>(text[0]);
    }
    std::size_t used = 0;
    int code = -1;
    try {
        code = std::stoi(text, &used, 0);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != text.size() || code < 0 || code > kLastCode) {
        throw CommandFailure{"not a character code from 0 to 511: " + text, 2};
    }
    return code;
}

void printHeader(const glyphbake::LxfHeader& header) {
    std::cout << "name: " << header.nameText() << '\n'
              << "point size: " << header.pointSize << '\n'
              << "cell: " << header.cellWidth << " x " << header.rows << " pixels ("
              << header.extraRows << " extra rows), " << header.glyphBitmapSize
              << " bytes per character\n"
              << "characters: " << header.firstChar << " to " << header.lastChar << '\n'
              << "descent: " << header.descent << '\n';
}

void drawCell(const glyphbake::LxfFont& font, int code) {
    std::cout << '\n' << "char " << code << "  width " << int{font.width(code)} << '\n';
    if (!font.holds(code)) {
        std::cout << "(not in this font)\n";
        return;
    }
    for (int row = 0; row < font.header().rows; ++row) {
        std::string line;
        for (int x = 0; x < font.header().cellWidth; ++x) {
            line.push_back(font.ink(code, x, row) ? '*' : '.');
        }
        std::cout << line << '\n';
    }
}

void runShow(const ShowArguments& args) {
    std::vector<int> codes;
    for (const std::string& text : args.codes) codes.push_back(parseCode(text));
    std::string error;
    const std::optional<glyphbake::LxfFont> font =
        glyphbake::LxfFont::readFile(args.lxfPath, error);
    if (!font) throw CommandFailure{args.lxfPath + ": " + error, 1};
    printHeader(font->header());
    for (int code : codes) drawCell(*font, code);
}

void addFontCommands(CLI::App& app, const GlobalOptions&) {
    CLI::App& font =
        commandGroup(app, "font", "Reader fonts: convert TrueType fonts, show LXF files");

    auto convert = std::make_shared<ConvertArguments>();
    CLI::App* convertCommand =
        font.add_subcommand("convert", "Convert a TrueType font into an LXF reader font");
    convertCommand->add_option("TTF", convert->ttfPath, "TrueType font file")->required();
    convertCommand->add_option("POINTS", convert->pointSize, "Size in points (100 dpi)")
        ->required();
    convertCommand->add_option("OUT", convert->outPath, "LXF file to write")->required();
    convertCommand->add_option("--extra-rows", convert->extraRows,
                               "Rows added to the tallest glyph to give the cell height");
    convertCommand
        ->add_option("--sample", convert->sampleChar,
                     "Character code (0 to 511) the report describes and draws")
        ->check(CLI::Range(0, kLastCode));
    convertCommand->add_flag("--report", convert->report, "Print the conversion report");
    convertCommand->add_flag("--fixed-width", convert->fixedWidth,
                             "Give every character the cell width");
    convertCommand->callback([convert] { runConvert(*convert); });

    auto ttfPath = std::make_shared<std::string>();
    CLI::App* nameCommand = font.add_subcommand(
        "name", "Print a font's full name; exit 0 when it has a Unicode map, 1 when not");
    nameCommand->add_option("TTF", *ttfPath, "TrueType font file")->required();
    nameCommand->callback([ttfPath] { runName(*ttfPath); });

    auto show = std::make_shared<ShowArguments>();
    CLI::App* showCommand =
        font.add_subcommand("show", "Print an LXF file's header and draw chosen characters");
    showCommand->add_option("FILE", show->lxfPath, "LXF file")->required();
    showCommand->add_option("--char", show->codes,
                            "Character to draw: a code (65, 0x41) or the character itself (A); "
                            "may be repeated");
    showCommand->callback([show] { runShow(*show); });
}

const CommandRegistration registration(addFontCommands);

}  // namespace
}  // namespace lumoctl
