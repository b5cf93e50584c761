#pragma once

#include <cstdint>
#include <memory>
#include <string>

class CLXProgressWindow;

// What a job needs of the link: the transfer worker provides it, tests provide their own.
// Results are EB_ERR_STATUS values.
class CLXJobLink {
public:
    virtual ~CLXJobLink() = default;
    virtual int SendFile(const std::string& localPath, const std::string& remoteName,
                         std::uint8_t option, int fileType,
                         const std::shared_ptr<CLXProgressWindow>& progressWindow,
                         const std::string& description, int index, int count,
                         std::uint32_t context) = 0;
    virtual int FetchFile(const std::string& remoteName, const std::string& localPath,
                          std::uint8_t option,
                          const std::shared_ptr<CLXProgressWindow>& progressWindow,
                          const std::string& description, int index, int count,
                          std::uint32_t context) = 0;
    virtual void FlushStatusCache() = 0;
    // Returns the previous value.
    virtual int SetFirmwareMode(int on) = 0;
};

namespace lumo {
// The context words of the program's transfers.
constexpr std::uint32_t kContextSentFile = 0xF000BAAD;
constexpr std::uint32_t kContextFetchedMarkup = 0xBAADBEEF;
constexpr std::uint32_t kContextTitleList = 0xBAADF00D;
}  // namespace lumo
