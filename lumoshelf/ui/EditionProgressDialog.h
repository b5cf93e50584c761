#pragma once

#include <QDialog>

#include "library/EditionInterfaces.h"

class QLabel;
class QProgressBar;

// The window shown while an edition is built. The build runs on the window's thread, so every
// update lets the window repaint; the dialog is modal, so nothing else can be started meanwhile.
class EditionProgressDialog : public QDialog, public IEditionProgress {
    Q_OBJECT
public:
    explicit EditionProgressDialog(QWidget* parent = nullptr);

    void ShowPosition(int range, int position) override;
    void ShowBusy(int counter) override;
    void SetText(const std::string& text) override;
    void SetStatusText(const std::string& text) override;

    QProgressBar& bar() const { return *bar_; }
    QLabel& textLine() const { return *text_; }
    QLabel& statusLine() const { return *status_; }

protected:
    void reject() override;

private:
    void repaintNow();

    QLabel* text_;
    QLabel* status_;
    QProgressBar* bar_;
};
