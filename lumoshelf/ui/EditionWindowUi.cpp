#include "ui/EditionWindowUi.h"

#include "ui/CredentialDialog.h"
#include "ui/EditionDialog.h"
#include "ui/EditionProgressDialog.h"
#include "ui/TextConversion.h"

bool EditionWindowUi::EditEdition(EditionChoices& choices) {
    EditionDialog dialog(choices, parent_);
    if (dialog.exec() != QDialog::Accepted) return false;
    choices = dialog.choices();
    return true;
}

std::unique_ptr<IEditionProgress> EditionWindowUi::OpenBuildProgress() {
    auto dialog = std::make_unique<EditionProgressDialog>(parent_);
    dialog->show();
    return dialog;
}

bool EditionWindowUi::AskCredentials(const std::string& url, std::string& user,
                                     std::string& password) {
    CredentialDialog dialog(toQString(url), parent_);
    if (dialog.exec() != QDialog::Accepted) return false;
    user = toBytes(dialog.user());
    password = toBytes(dialog.password());
    return true;
}
