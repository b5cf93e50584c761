#pragma once

#include <QDate>
#include <QPointer>
#include <QTime>

#include "settings/LXConfigPage.h"

class CLXJobStarter;
class CLXPageTimeFmt;
class CLXProgressDlg;
class QCalendarWidget;
class QTimeEdit;

// "Date && Time": the reader's date in a calendar and its time in a picker, both starting at the
// PC's time. OK sends them (the "time" copy of the command file) when either was changed;
// "Update &Now" sends the PC's present time at once, through a progress dialog of its own.
class CLXPageTime : public CLXConfigPage {
    Q_OBJECT
public:
    // formatPage: the page whose 12/24-hour choice the picker follows once it was shown.
    CLXPageTime(CLumoConnect& reader, CLXJobStarter& jobs, std::vector<std::string>& sendList,
                UserPrompts& prompts, const CLXPageTimeFmt* formatPage, QWidget* parent = nullptr);

    bool OnApply() override;
    void OnUpdateNow();

protected:
    void OnFirstShow() override;
    void OnSetActive() override;

private:
    bool Is12HourInForce();
    void ShowCurrentTime();
    // The calendar's date and the picker's time, written between ReOpen and Close.
    void WriteDateAndTime();
    void RememberStart();

    CLXJobStarter& m_jobs;
    const CLXPageTimeFmt* m_formatPage;
    QCalendarWidget* m_calendar;
    QTimeEdit* m_time;
    QPointer<CLXProgressDlg> m_progress;
    QDate m_startDate;
    QTime m_startTime;
};
