#pragma once

#include <functional>
#include <string>
#include <vector>

class CLXCard;

namespace lumo {

// How the choice of titles to send talks to the user.
struct SendSelectionPrompts {
    // "The following title does not exist on your hard disk: " + path, caption 61494.
    std::function<void(const std::string& path)> titleMissing;
    // String 61509: true when the user agrees to upgrade the reader's software.
    std::function<bool()> confirmSoftwareUpgrade;
    // String 1064: a software package was selected together with other titles.
    std::function<void()> packageWithOtherTitles;
};

// The files a Send of the selected titles sends, in list order: each edition on the PC, followed
// by the markup files fetched from the connected reader (matched without regard to case) that
// are still on the PC. A reader software package goes only alone and only when the user agrees.
std::vector<std::string> BuildSendList(const std::vector<CLXCard>& selected,
                                       const std::string& connectedReaderId,
                                       const SendSelectionPrompts& prompts);

// Send works while the link is connected and the reader not busy, no job of the view runs and a
// selected title is on the PC.
bool CanSend(int connectState, bool jobRunning, const std::vector<CLXCard>& selected);

}  // namespace lumo
