#include "transfers/SendSelection.h"

#include <filesystem>

#include "library/FileUtil.h"
#include "library/LXCard.h"

namespace lumo {
namespace {

constexpr int kStateConnected = 10;

bool IsOnThePC(const CLXCard& card) {
    std::error_code error;
    return std::filesystem::is_regular_file(card.storedPath, error);
}

}  // namespace

std::vector<std::string> BuildSendList(const std::vector<CLXCard>& selected,
                                       const std::string& connectedReaderId,
                                       const SendSelectionPrompts& prompts) {
    std::vector<std::string> files;
    for (const CLXCard& card : selected) {
        if (!IsOnThePC(card)) {
            prompts.titleMissing(card.storedPath);
            continue;
        }
        if (card.altMagic != 0) {
            if (selected.size() > 1) {
                prompts.packageWithOtherTitles();
            } else if (prompts.confirmSoftwareUpgrade()) {
                files.push_back(card.storedPath);
            }
            continue;
        }
        files.push_back(card.storedPath);
        for (const CLXMarkup& markup : card.markups) {
            std::error_code error;
            if (!connectedReaderId.empty() && EqualsNoCase(markup.readerId, connectedReaderId) &&
                std::filesystem::is_regular_file(markup.path, error)) {
                files.push_back(markup.path);
            }
        }
    }
    return files;
}

bool CanSend(int connectState, bool jobRunning, const std::vector<CLXCard>& selected) {
    if (connectState != kStateConnected || jobRunning) return false;
    for (const CLXCard& card : selected) {
        if (IsOnThePC(card)) return true;
    }
    return false;
}

}  // namespace lumo
