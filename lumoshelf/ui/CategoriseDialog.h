#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "library/LXCategory.h"

class CategoryTree;
class QDialogButtonBox;
class UserPrompts;

// Files one or more titles under the categories chosen in a copy of the category tree. With one
// title its categories are chosen to begin with; with several none is, and Cancel has the focus.
class CategoriseDialog : public QDialog {
    Q_OBJECT
public:
    CategoriseDialog(CLXCategoryList& categories, const std::vector<std::string>& preselected,
                     bool severalTitles, UserPrompts& prompts, QWidget* parent = nullptr);

    // The chosen identifiers in the order the tree lists them (valid after acceptance).
    const std::vector<std::string>& chosenIds() const { return chosen_; }
    CategoryTree& tree() const { return *tree_; }
    QDialogButtonBox& buttons() const { return *buttons_; }

    void accept() override;

private:
    CategoryTree* tree_;
    QDialogButtonBox* buttons_;
    UserPrompts& prompts_;
    std::vector<std::string> chosen_;
};
