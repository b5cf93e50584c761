#pragma once

#include <string>

#include "library/ProfileReader.h"

// The reader's title list ("__TITLES") as fetched: lines of "TITLECOUNT=n" and
// "Title<n>=key="value" ..." without a section line. The transfer code converts the fetched file
// once, in place, into an INI file of section "LumoBook"; everything else reads the converted
// file through CLXReaderTitleList.
//
// Conversion: "[LumoBook]\r\n", then the fetched bytes without carriage returns and without the
// last fetched byte (when there is one). Returns 0, or 11 when the file cannot be read or written.
int ConvertReaderTitleList(const std::string& path);

class CLXReaderTitleList {
public:
    // Reads a converted list; 0, or 11 when the file cannot be read.
    int Load(const std::string& path);
    void LoadFromText(const std::string& text);

    // The number of titles, at most the number of lines in the list; 0 with 1001 when
    // "TITLECOUNT" is missing or -1.
    int Count(int& count) const;
    // One field of title index: the text between the quotes after key=; 1028 for an index
    // outside the list, 1001 for a missing or empty title line, 1000 for a missing key or an
    // unclosed quote.
    int Field(int index, const std::string& key, std::string& value) const;
    // Whether the reader holds markups of a kind for title index ("LA", "LH", "LN"): a value
    // whose first character is 'n', or a missing key, means no.
    bool HasMarkupKind(int index, std::uint32_t kind) const;

private:
    int titleLine(int index, std::string& line) const;
    CLXProfileReader reader_;
};
