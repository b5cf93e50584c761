#pragma once

#include <cstdint>
#include <optional>
#include <string>

class CLXSettingsStore;

// Option bits handed to the edition converter.
constexpr std::uint32_t kEditionImages = 0x1;
constexpr std::uint32_t kEditionNoImageText = 0x4;
constexpr std::uint32_t kEditionLinks = 0x100;
constexpr std::uint32_t kEditionFlatTables = 0x20000;

// What the edition dialog shows and the user may change.
struct EditionChoices {
    std::string source;
    std::string title;
    std::string author;
    std::string subExpression;
    int levels = 0;
    bool images = false;
    bool links = false;
};

// A document to be turned into an edition, from the command line or a ".laf" job file.
struct EditionJob {
    EditionChoices choices;
    bool confirm = true;
    std::uint32_t options = 0;  // bits other than images and links, which come from the choices

    // The option bits for the converter: options plus the images and links choices.
    std::uint32_t ConverterOptions() const;
};

// Applies the words of a job file's "Flags" value (separated by blanks, tabs or commas, letter
// case ignored); unknown words are passed over.
void ApplyEditionFlags(const std::string& flags, EditionJob& job);

// A job from the text of a ".laf" file: section "lumowriter" with "URL", "Title", "Author",
// "SubEx", "Levels" and "Flags".
EditionJob ParseEditionJob(const std::string& text);
// The job file read whole; nothing when it cannot be read.
std::optional<EditionJob> ReadEditionJobFile(const std::string& path);

// The source as the converter takes it. A relative path naming a file that exists under
// baseDirectory is made absolute first. A local path (starting with '/' or '\\', or with a
// drive letter) becomes a "file://" URL: backslashes become '/', a leading '/' is added when
// missing, and blanks, '%', '#', '?', control bytes and bytes above 127 are written as %XX.
// Anything else (URLs, names that are not files) is passed on unchanged.
std::string EditionSourceUrl(const std::string& source, const std::string& baseDirectory);

// The proxy text for the converter from the "Registration" settings; empty when no proxy is used.
std::string EditionProxyText(const CLXSettingsStore& settings);

// "sp-%05d.lx" with the counter.
std::string EditionOutputName(std::uint32_t counter);

// Deletes every file in the folder tree: regular files and symbolic links (never followed);
// sub-folders are emptied, not removed, and other entries stay. False when a file could not be
// deleted.
bool EmptyWorkFolder(const std::string& folder);
