#include "lumosim/StatusFile.h"

#include <string>

#include "lumosim/Flash.h"
#include "lumosim/ReaderSettings.h"

namespace lumosim {
namespace {

std::string Quoted(const std::string& value) { return '"' + value + '"'; }

std::string Line(const char* keyword, std::initializer_list<std::string> values) {
    std::string line = std::string(keyword) + "=";
    for (const std::string& value : values) line += Quoted(value) + " ";
    line.back() = '\r';
    return line + "\n";
}

std::string FontLine(const char* keyword, const ReaderFont& font) {
    return Line(keyword, {font.name, std::to_string(font.size), std::string(1, font.flag)});
}

}  // namespace

std::vector<uint8_t> BuildStatusFile(const ReaderSettings& s, const Flash& flash) {
    const ReaderClock::Reading now = s.clock.Now();
    const std::string text =
        Line("DEVICEID", {s.identifier}) + Line("VERSION", {s.firmware}) +
        Line("EXTERNAL_VERSION", {s.externalVersion}) + Line("LANGUAGE", {s.language}) +
        Line("FLASHFREE", {std::to_string(flash.FreeBytes())}) +
        Line("LASTERR", {std::to_string(s.lastError)}) +
        Line("SETAUTO", {std::to_string(s.autoOffSeconds)}) +
        Line("SETDATEFORM", {std::to_string(s.dateFormat), std::string(1, s.dateSeparator)}) +
        Line("SETTIMEFORM", {std::to_string(s.timeFormat), std::string(1, s.timeSeparator)}) +
        Line("SETTZONE", {std::to_string(s.timeZone)}) +
        Line("SYNC", {std::to_string(s.syncCount)}) + FontLine("SETLARGE", s.largeFont) +
        FontLine("SETSMALL", s.smallFont) +
        Line("DATE", {std::to_string(now.day) + " " + std::to_string(now.month) + " " +
                      std::to_string(now.year)}) +
        Line("TIME", {std::to_string(now.hour) + " " + std::to_string(now.minute) + " " +
                      std::to_string(now.second)}) +
        Line("PAGINATION", {s.repaginate ? "1" : "0"});
    return {text.begin(), text.end()};
}

}  // namespace lumosim
