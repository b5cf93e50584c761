#include "library/LXCard.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "library/Archive.h"
#include "library/EditionFile.h"
#include "library/FileUtil.h"
#include "library/ProfileReader.h"
#include "library/ReaderTitleList.h"
#include "library/SafeNames.h"
#include "library/SettingsStore.h"
#include "library/StringTable.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t kTocEntrySize = 44;
constexpr std::uint32_t kInfoEntryFlag = 0x2;
constexpr unsigned kNotAvailable = 303;

std::string adhocUrl(const std::string& isbn) { return "ebook:adhoc-" + isbn; }

// Copies source into a new file beside target and renames it over target, so that a failed copy
// leaves whatever was at target untouched. A copy that replaces a file is flushed to disk before
// the rename; new copies are flushed in one go by whoever deletes their sources.
bool copyIntoPlace(const std::string& source, const std::string& target) {
    int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    std::string pattern = (fs::path(target).parent_path() / ".copy-XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int out = ::mkstemp(name.data());
    if (out < 0) {
        ::close(in);
        return false;
    }
    bool ok = ::fchmod(out, 0644) == 0;
    std::vector<char> buffer(1 << 16);
    while (ok) {
        ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        for (ssize_t done = 0; ok && done < got;) {
            ssize_t written = ::write(out, buffer.data() + done, static_cast<size_t>(got - done));
            if (written < 0 && errno == EINTR) continue;
            ok = written > 0;
            done += ok ? written : 0;
        }
    }
    ::close(in);
    if (ok && ::access(target.c_str(), F_OK) == 0) ok = ::fsync(out) == 0;
    ok = ::close(out) == 0 && ok;
    ok = ok && ::rename(name.data(), target.c_str()) == 0;
    if (!ok) ::unlink(name.data());
    return ok;
}

bool isRegularFile(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

std::string CardIdentityKey(const std::string& username, const std::string& url) {
    std::string key;
    key.reserve(username.size() + 1 + url.size());
    key += username;
    key += '\0';
    key += url;
    return lumo::ToLower(std::move(key));
}

int CLXCard::ReadFromEdition(const std::string& path) {
    lastError = CARD_OK;
    sourcePath = path;
    lastError = static_cast<std::uint32_t>(readEdition(path));
    if (lastError == CARD_OK) type = periodicalId.empty() ? CARD_EDITION : CARD_PERIODICAL;
    return static_cast<int>(lastError);
}

int CLXCard::readEdition(const std::string& path) {
    CLXEditionFile file(path);
    if (!file.IsOpen()) return CARD_ERR_OPEN;
    using Read = CLXEditionFile::Read;
    auto failure = [](Read result, int shortError) {
        return result == Read::Failed ? CARD_ERR_FILE_EXCEPTION : shortError;
    };

    std::string header;
    if (Read r = file.ReadAt(0, kEditionHeaderSize, header); r != Read::Ok)
        return failure(r, CARD_ERR_HEADER_SHORT);
    const std::uint32_t magic = LittleEndian32(header, 0);
    altMagic = 0;
    if (magic == kEditionAltMagic) {
        altMagic = 1;
    } else if (magic == kEditionMagic) {
        if (LittleEndian16(header, 4) != 2) return CARD_ERR_VERSION;
    } else {
        return CARD_ERR_BAD_MAGIC;
    }
    fileSize = static_cast<std::uint32_t>(file.Size());

    std::uint64_t position = LittleEndian32(header, 24);
    std::string word;
    if (Read r = file.ReadAt(position, 4, word); r != Read::Ok)
        return failure(r, CARD_ERR_COUNT_SHORT);
    const std::uint32_t count = LittleEndian32(word, 0);
    position += 4;

    // At least one entry is read; the last one read is the info entry.
    std::string entry;
    for (std::uint32_t read = 0; read == 0 || read < count; ++read) {
        if (Read r = file.ReadAt(position, kTocEntrySize, entry); r != Read::Ok)
            return failure(r, CARD_ERR_ENTRY_SHORT);
        position += kTocEntrySize;
        if (LittleEndian32(entry, 40) & kInfoEntryFlag) break;
    }
    const std::uint32_t infoLength = LittleEndian32(entry, 32);
    const std::uint32_t infoOffset = LittleEndian32(entry, 36);
    std::string info;
    if (Read r = file.ReadAt(infoOffset, infoLength, info); r != Read::Ok)
        return failure(r, CARD_ERR_INFO_SHORT);
    applyInfo(info);
    return CARD_OK;
}

void CLXCard::applyInfo(const std::string& infoText) {
    const CLXProfileReader info("[LumoBook]\r\n" + infoText);
    auto get = [&](const char* key, const char* fallback = "") {
        return info.GetString("LumoBook", key, fallback);
    };
    title = get("Title");
    author = get("Author");
    isbn = get("ISBN");
    username = get("username", "[none]");
    url = get("url");
    version = get("version");
    pubName = get("pub_name");
    genre = get("genre");
    periodicalName = get("PERIODICAL_NAME");
    periodicalId = get("PERIODICAL_ID");
    if (url.empty()) url = adhocUrl(isbn);
}

int CLXCard::EditionFileName(std::string& name) const {
    std::string base;
    if (url.empty()) {
        base = "adhoc-" + isbn;
    } else {
        size_t colon = url.find(':');
        if (colon == std::string::npos) return CARD_ERR_BAD_URL;
        base = url.substr(colon + 1);
    }
    name = ReplaceForbiddenNameChars(base) + ".lx";
    return CARD_OK;
}

int CLXCard::StoredPathInBookDir(const CLXSettingsStore& settings, std::string& path) const {
    std::string bookDir;
    if (!settings.ReadString("Data Locations", "BookDir", bookDir))
        return CARD_ERR_NO_BOOK_DIR_VALUE;
    std::error_code error;
    if (!fs::is_directory(bookDir, error)) return CARD_ERR_NO_BOOK_DIR;
    fs::path folder(bookDir);
    if (!username.empty()) folder /= SafeNameComponent(username);
    std::string name;
    if (int result = EditionFileName(name)) return result;
    path = (folder / name).string();
    return CARD_OK;
}

int CLXCard::CopyToBookDir(const std::string& source, const CLXSettingsStore& settings) {
    lastError = CARD_OK;
    std::string target;
    int result = StoredPathInBookDir(settings, target);
    if (result == CARD_OK) {
        std::error_code error;
        fs::path folder = fs::path(target).parent_path();
        if (!fs::is_directory(folder, error) && !fs::create_directory(folder, error))
            result = CARD_ERR_NO_BOOK_DIR;
    }
    if (result == CARD_OK && !lumo::SamePath(target, source) && !copyIntoPlace(source, target))
        result = CARD_ERR_COPY;
    if (result != CARD_OK) {
        lastError = static_cast<std::uint32_t>(result);
        return result;
    }
    const std::string oldPath = storedPath;
    if (!oldPath.empty() && !lumo::SamePath(oldPath, target) && !lumo::SamePath(oldPath, source) &&
        lumo::IsRegularFileNoFollow(oldPath))
        ::unlink(oldPath.c_str());
    storedPath = target;
    presence = 1;
    return CARD_OK;
}

int CLXCard::CheckPresence() {
    presence = isRegularFile(storedPath) ? 1 : 2;
    return presence == 1 ? 1 : 0;
}

int CLXCard::DeleteEditionFile() {
    if (!CheckPresence()) return CARD_OK;
    if (::unlink(storedPath.c_str()) != 0) return CARD_ERR_DELETE;
    presence = 2;
    return CARD_OK;
}

void CLXCard::AttachMarkup(const CLXMarkup& markup, bool& changed) {
    changed = false;
    if (!lumo::EqualsNoCase(lumo::BareFileName(markup.path), lumo::BareFileName(storedPath)))
        return;
    for (const CLXMarkup& held : markups)
        if (held.Equals(markup)) return;
    markups.push_back(markup);
    changed = true;
}

int CLXCard::RemoveAllMarkups() {
    int firstError = CARD_OK;
    std::vector<CLXMarkup> kept;
    for (CLXMarkup& markup : markups) {
        if (int error = markup.DeleteFile()) {
            if (firstError == CARD_OK) firstError = error;
            kept.push_back(markup);
        }
    }
    markups = std::move(kept);
    return firstError;
}

int CLXCard::GetMarkup(int index, CLXMarkup& markup) const {
    if (index < 0 || static_cast<size_t>(index) >= markups.size()) return CARD_ERR_INTERNAL;
    markup = markups[static_cast<size_t>(index)];
    return CARD_OK;
}

int CLXCard::SetType(std::int32_t newType) {
    if (newType < CARD_EDITION || newType > CARD_PERIODICAL) return CARD_ERR_INTERNAL;
    type = newType;
    return CARD_OK;
}

bool CLXCard::SameIdentity(const CLXCard& other) const {
    return lumo::EqualsNoCase(username, other.username) && lumo::EqualsNoCase(url, other.url);
}

std::string CLXCard::IdentityKey() const { return CardIdentityKey(username, url); }

int CLXCard::FromReaderTitle(const CLXReaderTitleList& list, int index,
                             const CLXSettingsStore& settings) {
    auto field = [&](const char* key, std::string& value) { return list.Field(index, key, value); };
    std::string bookDir;
    if (!settings.ReadString("Data Locations", "BookDir", bookDir))
        return CARD_ERR_NO_BOOK_DIR_VALUE;
    std::string owner, fileName, size;
    if (int error = field("username", owner)) return error;
    if (owner.empty()) owner = "[none]";
    if (int error = field("filename", fileName)) return error;
    storedPath = (fs::path(bookDir) / SafeNameComponent(owner) /
                  SafeNameComponent(lumo::LastNamePart(fileName)))
                     .string();
    if (int error = field("title", title)) return error;
    if (int error = field("size", size)) return error;
    fileSize = 0;
    for (char c : size) {
        if (c < '0' || c > '9') break;
        fileSize = fileSize * 10 + static_cast<std::uint32_t>(c - '0');
    }
    if (int error = field("publisher", pubName)) return error;
    if (int error = field("author", author)) return error;
    if (int error = field("url", url)) return error;
    if (url.empty()) {
        std::string base = fileName.substr(0, fileName.find(".lx"));
        url = (base.find("adhoc-") != std::string::npos ? "ebook:" : "ebook:adhoc-") + base;
    }
    username = owner;
    if (field("PERIODICAL_ID", periodicalId) == CARD_OK) {
        if (int error = field("PERIODICAL_NAME", periodicalName)) return error;
    } else {
        periodicalId.clear();
        periodicalName.clear();
    }
    type = periodicalId.empty() ? CARD_EDITION : CARD_PERIODICAL;
    return CARD_OK;
}

void CLXCard::Store(CLXArchiveWriter& archive) {
    if (lumo::EqualsNoCase(genre, LXString(kNotAvailable))) genre.clear();
    for (const std::string* text : {&schema, &title, &isbn, &author, &reserved1, &reserved2,
                                    &reserved3, &genre, &storedPath, &sourcePath})
        archive.WriteString(*text);
    for (std::uint32_t number : {presence, lastError, fileSize, onReader, reserved4, altMagic})
        archive.WriteU32(number);
    for (const std::string* text : {&username, &url, &version, &pubName, &periodicalName})
        archive.WriteString(*text);
    archive.WriteU32(static_cast<std::uint32_t>(type));
    archive.WriteBool(extraFlag);
    archive.WriteCount(markups.size());
    for (const CLXMarkup& markup : markups) markup.Store(archive);
    archive.WriteString(periodicalId);
    archive.WriteCount(categories.size());
    for (const std::string& id : categories) archive.WriteString(id);
}

void CLXCard::Load(CLXArchiveReader& archive) {
    for (std::string* text : {&schema, &title, &isbn, &author, &reserved1, &reserved2, &reserved3,
                              &genre, &storedPath, &sourcePath})
        *text = archive.ReadString();
    for (std::uint32_t* number :
         {&presence, &lastError, &fileSize, &onReader, &reserved4, &altMagic})
        *number = archive.ReadU32();
    onReader = 0;
    if (schema.size() != 3 || schema[0] < '1' || schema[0] > '8' || schema.substr(1) != ".0")
        throw CLXArchiveError("unknown card schema " + schema);
    const std::string notAvailable = LXString(kNotAvailable);

    auto step = [&](const char* from, const char* to) {
        if (schema != from) return true;
        schema = to;
        return false;
    };
    if (step("1.0", "2.0")) {
        username = archive.ReadString();
    } else {
        username = notAvailable;
    }
    if (step("2.0", "3.0")) url = archive.ReadString();
    if (url.empty()) url = adhocUrl(isbn);
    version = step("3.0", "4.0") ? archive.ReadString() : notAvailable;
    pubName = step("4.0", "5.0") ? archive.ReadString() : notAvailable;
    if (step("5.0", "6.0")) {
        periodicalName = archive.ReadString();
        type = static_cast<std::int32_t>(archive.ReadU32());
        extraFlag = archive.ReadBool();
        markups.clear();
        for (std::uint64_t n = archive.ReadCount(); n > 0; --n)
            markups.emplace_back().Load(archive);
    } else {
        type = CARD_EDITION;
    }
    if (step("6.0", "7.0")) periodicalId = archive.ReadString();
    if (step("7.0", "8.0")) {
        categories.clear();
        for (std::uint64_t n = archive.ReadCount(); n > 0; --n)
            categories.push_back(archive.ReadString());
    }
}
