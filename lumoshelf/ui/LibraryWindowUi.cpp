#include "ui/LibraryWindowUi.h"

#include "library/LXCard.h"
#include "library/LXCardErrors.h"
#include "ui/LibListView.h"
#include "ui/TextConversion.h"
#include "ui/UiStrings.h"
#include "ui/UserPrompts.h"

namespace {

constexpr unsigned kNewTitle = 61454;
constexpr unsigned kAlreadyInLibraryTitle = 61456;
constexpr unsigned kAlreadyInLibrary = 61457;
constexpr unsigned kTitleAdded = 61449;
constexpr unsigned kTitleRecopied = 61487;

UserPrompts::Icon promptIcon(ILXLibraryUI::Icon icon) {
    switch (icon) {
        case ILXLibraryUI::Icon::Information:
            return UserPrompts::Icon::Information;
        case ILXLibraryUI::Icon::Exclamation:
            return UserPrompts::Icon::Exclamation;
        case ILXLibraryUI::Icon::Stop:
            break;
    }
    return UserPrompts::Icon::Stop;
}

}  // namespace

QString titleLines(const CLXCard& card) {
    return uiString(61450) + ":\t\t" + toQString(card.title) + '\n' + uiString(61451) + ":\t\t" +
           toQString(card.author) + '\n';
}

void LibraryWindowUi::ShowMessage(const std::string& caption, const std::string& text, Icon icon) {
    prompts_.tell(toQString(caption), toQString(text), promptIcon(icon));
}

bool LibraryWindowUi::AskYesNo(const std::string& caption, const std::string& text) {
    return prompts_.ask(toQString(caption), toQString(text));
}

void LibraryWindowUi::UpdateAllViews(int hint, const CLXCard* card) {
    if (hint == HINT_REBUILD || hint == HINT_TITLE_ADDED || hint == HINT_REINSTALLED) {
        if (view_) view_->rebuildRows();
    }
    if (!card || hint == HINT_REBUILD || hint == HINT_REINSTALL_FAILED) return;
    if (hint == HINT_ADD_FAILED) {
        const CardErrorMessage message = MessageForCardError(*card);
        const QString caption = toQString(message.caption);
        prompts_.tell(caption.isEmpty() ? uiString(kNewTitle) : caption, toQString(message.text),
                      UserPrompts::Icon::None);
        return;
    }
    if (hint == HINT_ALREADY_IN_LIBRARY) {
        prompts_.tell(uiString(kAlreadyInLibraryTitle),
                      uiString(kAlreadyInLibrary) + titleLines(*card),
                      UserPrompts::Icon::Exclamation);
        return;
    }
    if (hint != HINT_TITLE_ADDED && hint != HINT_REINSTALLED) return;
    prompts_.tell(
        uiString(kNewTitle),
        uiString(hint == HINT_TITLE_ADDED ? kTitleAdded : kTitleRecopied) + titleLines(*card),
        UserPrompts::Icon::Information);
    if (titleReported_) titleReported_(*card);
}
