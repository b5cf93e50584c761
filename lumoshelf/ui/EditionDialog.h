#pragma once

#include <QDialog>

#include "library/EditionJob.h"

class QCheckBox;
class QLineEdit;
class QSpinBox;

// Shows what a document will be built from before the edition is made: the source, title,
// author, the sub-expression links must match, how many links deep to go, and whether images
// and links are wanted.
class EditionDialog : public QDialog {
    Q_OBJECT
public:
    explicit EditionDialog(const EditionChoices& choices, QWidget* parent = nullptr);

    // The choices as the dialog shows them now.
    EditionChoices choices() const;

    QLineEdit& sourceEdit() const { return *source_; }
    QLineEdit& titleEdit() const { return *title_; }
    QLineEdit& authorEdit() const { return *author_; }
    QLineEdit& subExpressionEdit() const { return *subExpression_; }
    QSpinBox& levelsBox() const { return *levels_; }
    QCheckBox& imagesBox() const { return *images_; }
    QCheckBox& linksBox() const { return *links_; }

private:
    QLineEdit* source_;
    QLineEdit* title_;
    QLineEdit* author_;
    QLineEdit* subExpression_;
    QSpinBox* levels_;
    QCheckBox* images_;
    QCheckBox* links_;
};
