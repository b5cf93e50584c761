#include "ui/ActionIcons.h"

#include <QApplication>
#include <QStyle>
#include <map>

QIcon actionIcon(const QString& themeName) {
    static const std::map<QString, QStyle::StandardPixmap> fallbacks = {
        {"document-open", QStyle::SP_DialogOpenButton},
        {"folder-open", QStyle::SP_DirOpenIcon},
        {"edit-clear", QStyle::SP_DialogResetButton},
        {"edit-delete", QStyle::SP_TrashIcon},
        {"edit-clear-all", QStyle::SP_DialogDiscardButton},
        {"tag", QStyle::SP_FileDialogListView},
        {"document-properties", QStyle::SP_FileDialogInfoView},
        {"folder-new", QStyle::SP_FileDialogNewFolder},
        {"go-down", QStyle::SP_ArrowDown},
        {"go-up", QStyle::SP_ArrowUp},
        {"go-jump", QStyle::SP_ArrowRight},
        {"preferences-system", QStyle::SP_ComputerIcon},
        {"network-wired", QStyle::SP_DriveNetIcon},
        {"system-software-update", QStyle::SP_BrowserReload},
        {"application-exit", QStyle::SP_DialogCloseButton},
    };
    const auto fallback = fallbacks.find(themeName);
    if (QIcon::hasThemeIcon(themeName) || fallback == fallbacks.end())
        return QIcon::fromTheme(themeName);
    return QApplication::style()->standardIcon(fallback->second);
}
