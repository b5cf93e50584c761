#pragma once

#include <string>

#include "settings/LXConfigPage.h"

class CLXSettingsStore;
class CLXTransferWorker;
class QLabel;
class QRadioButton;
class QSpinBox;

// "Misc": the reader's automatic power-off time in minutes (the "misc" copy of the command file
// when changed), whether this reader's titles and markups are read when it connects (a setting
// of the program, stored on every OK), and the entry to formatting the reader.
class CLXPageMisc : public CLXConfigPage {
    Q_OBJECT
public:
    CLXPageMisc(CLXTransferWorker& worker, std::vector<std::string>& sendList, UserPrompts& prompts,
                QWidget* parent = nullptr);

    bool OnApply() override;
    void OnFormatReader();

protected:
    void OnFirstShow() override;

private:
    void FillTimeout();
    void FillUploadChoice();
    std::uint32_t ChosenUpload() const;
    bool TimeoutChanged() const;

    CLXTransferWorker& m_worker;
    CLXSettingsStore& m_settings;
    QSpinBox* m_timeout;
    QLabel* m_syncCaption;
    QRadioButton* m_always;
    QRadioButton* m_never;
    QRadioButton* m_prompt;
    std::string m_readerId;
    QString m_filledTimeout;
    bool m_timeoutChanged = false;
};
