#include "lumosim/ReaderFiles.h"

#include <fnmatch.h>
#include <strings.h>

#include <algorithm>

#include "lumosim/Flash.h"
#include "lumosim/ReaderPackets.h"
#include "lumosim/ReaderSettings.h"
#include "lumosim/StatusFile.h"
#include "lumosim/TitleList.h"

namespace lumosim {
namespace {

constexpr const char* kStatusName = "__STATUS";
constexpr const char* kTitlesName = "__TITLES";
constexpr const char* kCommandPrefix = "__CMDFILE";

bool IsCommandFile(const std::string& name) {
    return strncasecmp(name.c_str(), kCommandPrefix,
                       std::char_traits<char>::length(kCommandPrefix)) == 0;
}

}  // namespace

bool ReaderFiles::IsRefused(const std::string& name) const {
    return std::any_of(refused_.begin(), refused_.end(), [&](const std::string& pattern) {
        return fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD) == 0;
    });
}

uint8_t ReaderFiles::TakeHandle() {
    const uint8_t handle = nextHandle_;
    nextHandle_ = nextHandle_ == 255 ? 1 : nextHandle_ + 1;
    return handle;
}

std::optional<std::vector<uint8_t>> ReaderFiles::Contents(const std::string& name) const {
    if (strcasecmp(name.c_str(), kStatusName) == 0) return BuildStatusFile(settings_, flash_);
    if (strcasecmp(name.c_str(), kTitlesName) == 0) return BuildTitleList(flash_);
    return flash_.Read(name);
}

uint8_t ReaderFiles::Create(const std::string& remoteName, uint32_t size) {
    open_.reset();
    const auto name = Flash::SafeName(remoteName);
    if (!name || IsRefused(*name)) return 0;
    if (!IsCommandFile(*name) && size > flash_.FreeBytes() + flash_.SizeOf(*name)) return 0;

    open_ = OpenFile{TakeHandle(), *name, true, size, {}};
    open_->bytes.reserve(size);
    return open_->handle;
}

uint8_t ReaderFiles::Open(const std::string& remoteName) {
    open_.reset();
    const auto name = Flash::SafeName(remoteName);
    if (!name || IsRefused(*name)) return 0;
    auto contents = Contents(*name);
    if (!contents) return 0;
    const auto size = static_cast<uint32_t>(contents->size());
    open_ = OpenFile{TakeHandle(), *name, false, size, std::move(*contents)};
    return open_->handle;
}

ReaderFiles::Padding ReaderFiles::Append(std::span<const uint8_t> chunk) {
    OpenFile& file = *open_;
    const std::size_t room = file.size - file.bytes.size();
    const auto kept = chunk.first(std::min(room, chunk.size()));
    file.bytes.insert(file.bytes.end(), kept.begin(), kept.end());
    file.position += chunk.size();
    const auto padding = chunk.subspan(kept.size());
    return {padding.size(), static_cast<std::size_t>(std::count_if(
                                padding.begin(), padding.end(), [](uint8_t b) { return b != 0; }))};
}

std::span<const uint8_t> ReaderFiles::NextBlock() {
    OpenFile& file = *open_;
    const std::size_t start = std::min<std::size_t>(file.position, file.bytes.size());
    const std::size_t length = std::min(packet::kBlockSize, file.bytes.size() - start);
    file.position = start + length;
    return {file.bytes.data() + start, length};
}

ReaderFiles::Closed ReaderFiles::Close() {
    Closed closed;
    if (open_ && open_->writing) {
        if (IsCommandFile(open_->name)) {
            closed.commands = ApplyCommandFile(open_->bytes, settings_, flash_);
        } else if (flash_.Write(open_->name, open_->bytes)) {
            ++settings_.syncCount;
            closed.stored = true;
        }
    }
    open_.reset();
    return closed;
}

}  // namespace lumosim
