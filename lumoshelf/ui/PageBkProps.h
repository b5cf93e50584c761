#pragma once

#include <QWidget>

#include "library/LXBookProperties.h"

class CLXCard;
class QCheckBox;
class QFormLayout;
class QLabel;

// The title properties page: a card's details, its file's size and times, and the kinds of
// markup it has.
class CLXPageBkProps : public QWidget {
    Q_OBJECT
public:
    explicit CLXPageBkProps(QWidget* parent = nullptr);

    // Returns 0 or the first markup read error.
    int FillFromCard(const CLXCard& card);

private:
    QLabel* addRow(QFormLayout* form, const QString& label);

    QLabel *title_, *author_, *isbn_, *publisher_, *genre_, *version_;
    QLabel *size_, *location_, *created_, *modified_, *accessed_;
    QCheckBox *annotations_, *highlights_, *notes_;
};

// Shows the properties of a card in a modal sheet.
void showTitleProperties(const CLXCard& card, QWidget* parent);
