#include "ui/ReaderActions.h"

#include <QAction>
#include "ui/ActionIcons.h"

namespace {

QAction* disabledAction(QObject* parent, const QString& text, const QString& icon,
                        const QString& tip) {
    auto* action = new QAction(actionIcon(icon), text, parent);
    action->setStatusTip(tip);
    action->setEnabled(false);
    return action;
}

}  // namespace

ReaderActions createReaderActions(QObject* parent) {
    ReaderActions actions;
    actions.send = disabledAction(parent, QObject::tr("&Send to Reader"), "go-down",
                                  QObject::tr("Send the selected titles to the Lumo eBook"));
    actions.readTitles = disabledAction(parent, QObject::tr("&Read Titles from Reader"), "go-up",
                                        QObject::tr("Read the list of titles on the Lumo eBook"));
    actions.readerSettings =
        disabledAction(parent, QObject::tr("Reader Se&ttings..."), "preferences-system",
                       QObject::tr("Show and change the settings of the Lumo eBook"));
    actions.serialPort =
        disabledAction(parent, QObject::tr("Serial &Port..."), "network-wired",
                       QObject::tr("Choose the serial port the Lumo eBook is connected to"));
    actions.softwareUpdate =
        disabledAction(parent, QObject::tr("Software &Update..."), "system-software-update",
                       QObject::tr("Look for new software for the Lumo eBook"));
    return actions;
}
