#include "settings/LXPageTime.h"

#include <QCalendarWidget>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "lumolink/LumoConnect.h"
#include "settings/LXPageTimeFmt.h"
#include "transfers/LXProgressDlg.h"

namespace {

const QString k12HourDisplay = QStringLiteral("h:mm AP");
const QString k24HourDisplay = QStringLiteral("H:mm");

}  // namespace

CLXPageTime::CLXPageTime(CLumoConnect& reader, CLXJobStarter& jobs,
                         std::vector<std::string>& sendList, UserPrompts& prompts,
                         const CLXPageTimeFmt* formatPage, QWidget* parent)
    : CLXConfigPage(QStringLiteral("Date && Time"), reader, sendList, prompts, parent),
      m_jobs(jobs),
      m_formatPage(formatPage),
      m_calendar(new QCalendarWidget),
      m_time(new QTimeEdit) {
    m_calendar->setObjectName("date");
    m_time->setObjectName("time");
    auto* dateLabel = new QLabel(QStringLiteral("&Date:"));
    dateLabel->setBuddy(m_calendar);
    auto* timeLabel = new QLabel(QStringLiteral("&Time:"));
    timeLabel->setBuddy(m_time);
    auto* updateNow = new QPushButton(QStringLiteral("Update &Now"));
    updateNow->setObjectName("updateNow");
    auto* systemTime = new QGroupBox(QStringLiteral("Use current system time"));
    auto* systemLayout = new QVBoxLayout(systemTime);
    systemLayout->addWidget(updateNow);

    auto* grid = new QGridLayout(this);
    grid->addWidget(dateLabel, 0, 0, Qt::AlignTop);
    grid->addWidget(m_calendar, 0, 1);
    grid->addWidget(timeLabel, 1, 0);
    grid->addWidget(m_time, 1, 1, Qt::AlignLeft);
    grid->addWidget(systemTime, 2, 0, 1, 2);
    grid->setRowStretch(3, 1);
    connect(updateNow, &QPushButton::clicked, this, &CLXPageTime::OnUpdateNow);
}

bool CLXPageTime::Is12HourInForce() {
    if (m_formatPage != nullptr && m_formatPage->WasShown()) return m_formatPage->Is12HourChosen();
    CLumoStatus::EB_TIME_FORMAT format;
    Reader().GetStatus()->GetTimeFormatA(format);
    return format.format == CLumoStatus::TIMEFMT_12_HOUR;
}

void CLXPageTime::OnFirstShow() {
    ShowCurrentTime();
    RememberStart();
}

void CLXPageTime::OnSetActive() {
    m_time->setDisplayFormat(Is12HourInForce() ? k12HourDisplay : k24HourDisplay);
}

void CLXPageTime::ShowCurrentTime() {
    const QDateTime now = QDateTime::currentDateTime();
    m_calendar->setSelectedDate(now.date());
    m_time->setTime(now.time());
}

void CLXPageTime::RememberStart() {
    m_startDate = m_calendar->selectedDate();
    m_startTime = m_time->time();
}

void CLXPageTime::WriteDateAndTime() {
    const QDate date = m_calendar->selectedDate();
    const QTime time = m_time->time();
    CLumoCmd& cmd = *Reader().GetCmds();
    cmd.ReOpen();
    cmd.SetDate(date.day(), date.month(), date.year());
    cmd.SetTime(time.hour(), time.minute(), time.second());
    cmd.Close();
}

void CLXPageTime::OnUpdateNow() {
    ShowCurrentTime();
    WriteDateAndTime();
    const std::string copy = CopyCommandFile("time");
    if (copy.empty()) return;
    delete m_progress;
    m_progress = new CLXProgressDlg(this, &m_jobs);
    m_progress->StartSendJob({copy}, nullptr);
    RememberStart();
}

bool CLXPageTime::OnApply() {
    if (m_calendar->selectedDate() == m_startDate && m_time->time() == m_startTime) return true;
    WriteDateAndTime();
    return AppendCommandFileCopy("time");
}
