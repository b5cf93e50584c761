#include "settings/LXPageTimeFmt.h"

#include <QComboBox>
#include <QDateTime>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "lumolink/LumoConnect.h"
#include "settings/DateTimeSamples.h"
#include "settings/SeparatorBox.h"
#include "ui/TextConversion.h"
#include "ui/UserPrompts.h"

namespace {

constexpr char kDefaultTimeSeparator = ':';
constexpr char kDefaultDateSeparator = '/';

QLabel* BuddyLabel(const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}

QLabel* SampleLabel(const char* objectName) {
    auto* label = new QLabel;
    label->setObjectName(objectName);
    label->setTextFormat(Qt::PlainText);
    return label;
}

}  // namespace

CLXPageTimeFmt::CLXPageTimeFmt(CLumoConnect& reader, std::vector<std::string>& sendList,
                               UserPrompts& prompts, QWidget* parent)
    : CLXConfigPage(QStringLiteral("Date && Time Format"), reader, sendList, prompts, parent),
      m_hour12(new QRadioButton(QStringLiteral("12 &hour"))),
      m_hour24(new QRadioButton(QStringLiteral("24 h&our"))),
      m_timeSeparator(NewSeparatorBox("timeSeparator")),
      m_timeSample(SampleLabel("timeSample")),
      m_dateStyle(new QComboBox),
      m_dateSeparator(NewSeparatorBox("dateSeparator")),
      m_dateSample(SampleLabel("dateSample")) {
    m_hour12->setObjectName("hour12");
    m_hour24->setObjectName("hour24");
    m_dateStyle->setObjectName("dateStyle");
    for (const char* name : lumo::kDateStyleNames) m_dateStyle->addItem(QString::fromLatin1(name));
    m_dateStyle->setCurrentIndex(-1);

    auto* hours = new QHBoxLayout;
    hours->addWidget(m_hour12);
    hours->addWidget(m_hour24);
    hours->addStretch();
    auto* timeGroup = new QGroupBox(QStringLiteral("Time Format"));
    auto* timeForm = new QFormLayout(timeGroup);
    timeForm->addRow(hours);
    timeForm->addRow(BuddyLabel(QStringLiteral("&Separating Character"), m_timeSeparator),
                     m_timeSeparator);
    timeForm->addRow(QStringLiteral("Sample Time Display"), m_timeSample);

    auto* dateGroup = new QGroupBox(QStringLiteral("Date Format"));
    auto* dateForm = new QFormLayout(dateGroup);
    dateForm->addRow(BuddyLabel(QStringLiteral("&Display Style"), m_dateStyle), m_dateStyle);
    dateForm->addRow(BuddyLabel(QStringLiteral("Separating &Character"), m_dateSeparator),
                     m_dateSeparator);
    dateForm->addRow(QStringLiteral("Sample Date Display"), m_dateSample);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(timeGroup);
    layout->addWidget(dateGroup);
    layout->addStretch();

    // Only the user's own changes count: these signals do not fire when the page fills a box.
    const auto timeEdited = [this] {
        m_timeChanged = true;
        ShowTimeSample();
    };
    connect(m_hour12, &QRadioButton::clicked, this, timeEdited);
    connect(m_hour24, &QRadioButton::clicked, this, timeEdited);
    connect(m_timeSeparator, &QLineEdit::textEdited, this, timeEdited);
    const auto dateEdited = [this] {
        m_dateChanged = true;
        ShowDateSample();
    };
    connect(m_dateStyle, &QComboBox::activated, this, dateEdited);
    connect(m_dateSeparator, &QLineEdit::textEdited, this, dateEdited);
}

bool CLXPageTimeFmt::Is12HourChosen() const { return m_hour12->isChecked(); }

void CLXPageTimeFmt::OnFirstShow() {
    FillFromReader();
    ShowTimeSample();
    ShowDateSample();
}

void CLXPageTimeFmt::FillFromReader() {
    CLumoStatus& status = *Reader().GetStatus();
    CLumoStatus::EB_TIME_FORMAT time;
    if (status.GetTimeFormatA(time) == EB_ERR_SUCCESS) {
        (time.format == CLumoStatus::TIMEFMT_12_HOUR ? m_hour12 : m_hour24)->setChecked(true);
        m_timeSeparator->setText(SeparatorText(time.separator));
    }
    CLumoStatus::EB_DATE_FORMAT date;
    if (status.GetDateFormatA(date) == EB_ERR_SUCCESS) {
        int style = date.format;
        if (style < 0 || style > lumo::kLastDateStyle) {
            Prompts().tell(programName(),
                           QStringLiteral("The date format specified by the Lumo eBook is not "
                                          "supported."),
                           UserPrompts::Icon::Stop);
            style = lumo::kLastDateStyle;
        }
        m_dateStyle->setCurrentIndex(style);
        m_dateSeparator->setText(SeparatorText(date.separator));
    }
}

char CLXPageTimeFmt::TimeSeparator() const {
    return SeparatorOf(*m_timeSeparator, kDefaultTimeSeparator);
}

char CLXPageTimeFmt::DateSeparator() const {
    return SeparatorOf(*m_dateSeparator, kDefaultDateSeparator);
}

void CLXPageTimeFmt::ShowTimeSample() {
    const QTime now = QTime::currentTime();
    m_timeSample->setText(
        toQString(lumo::TimeSample(now.hour(), now.minute(), Is12HourChosen(), TimeSeparator())));
}

void CLXPageTimeFmt::ShowDateSample() {
    const QDate today = QDate::currentDate();
    m_dateSample->setText(toQString(lumo::DateSample(
        m_dateStyle->currentIndex(), today.day(), today.month(), today.year(), DateSeparator())));
}

bool CLXPageTimeFmt::OnApply() {
    const int style = m_dateStyle->currentIndex();
    const bool writeDate = m_dateChanged && style >= 0;
    if (!m_timeChanged && !writeDate) return true;
    CLumoCmd& cmd = *Reader().GetCmds();
    cmd.ReOpen();
    if (m_timeChanged) {
        cmd.SetTimeFmt(
            Is12HourChosen() ? CLumoStatus::TIMEFMT_12_HOUR : CLumoStatus::TIMEFMT_24_HOUR,
            TimeSeparator());
    }
    if (writeDate) cmd.SetDateFmt(static_cast<CLumoStatus::EDATEFMT>(style), DateSeparator());
    cmd.Close();
    return AppendCommandFileCopy("timefmt");
}
