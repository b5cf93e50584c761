#pragma once

#include <QString>
#include <functional>

#include "library/LibraryInterfaces.h"

class CLibListView;
class UserPrompts;

// The library document's link to the windows: its messages and questions become message boxes,
// its hints rebuild the title list and report added titles.
class LibraryWindowUi : public ILXLibraryUI {
public:
    explicit LibraryWindowUi(UserPrompts& prompts) : prompts_(prompts) {}

    void setListView(CLibListView* view) { view_ = view; }
    // Called after the user was told that a title was added or re-installed.
    void setTitleReported(std::function<void(const CLXCard&)> reported) {
        titleReported_ = std::move(reported);
    }

    void ShowMessage(const std::string& caption, const std::string& text, Icon icon) override;
    bool AskYesNo(const std::string& caption, const std::string& text) override;
    void UpdateAllViews(int hint, const CLXCard* card) override;

private:
    UserPrompts& prompts_;
    CLibListView* view_ = nullptr;
    std::function<void(const CLXCard&)> titleReported_;
};

// The lines that name a title in messages: "Title:\t\t...\n" and "Author:\t\t...\n".
QString titleLines(const CLXCard& card);
