#pragma once

#include "settings/LXConfigPage.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

// "Date && Time Format": how the reader shows the time (12 or 24 hours, separator) and the date
// (one of eight styles, separator), each with a sample line. On OK, the formats the user changed
// go in the "timefmt" copy of the command file.
class CLXPageTimeFmt : public CLXConfigPage {
    Q_OBJECT
public:
    CLXPageTimeFmt(CLumoConnect& reader, std::vector<std::string>& sendList, UserPrompts& prompts,
                   QWidget* parent = nullptr);

    // The choice of "12 &hour", which the time page follows once this page was shown.
    bool Is12HourChosen() const;
    bool OnApply() override;

protected:
    void OnFirstShow() override;

private:
    void FillFromReader();
    void ShowTimeSample();
    void ShowDateSample();
    char TimeSeparator() const;
    char DateSeparator() const;

    QRadioButton* m_hour12;
    QRadioButton* m_hour24;
    QLineEdit* m_timeSeparator;
    QLabel* m_timeSample;
    QComboBox* m_dateStyle;
    QLineEdit* m_dateSeparator;
    QLabel* m_dateSample;
    bool m_timeChanged = false;
    bool m_dateChanged = false;
};
