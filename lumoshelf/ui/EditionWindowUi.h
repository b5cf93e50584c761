#pragma once

#include <QPointer>
#include <QWidget>

#include "library/EditionInterfaces.h"

// The library's edition dialogs as windows over the main window.
class EditionWindowUi : public ILXEditionUI {
public:
    void setParent(QWidget* parent) { parent_ = parent; }

    bool EditEdition(EditionChoices& choices) override;
    std::unique_ptr<IEditionProgress> OpenBuildProgress() override;
    bool AskCredentials(const std::string& url, std::string& user, std::string& password) override;

private:
    QPointer<QWidget> parent_;
};
