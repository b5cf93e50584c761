#include "settings/LXPageMisc.h"

#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "library/SettingsStore.h"
#include "settings/LXFormatDlg.h"
#include "transfers/TransferWorker.h"
#include "ui/TextConversion.h"
#include "ui/UserPrompts.h"

namespace {

constexpr int kMaxTimeoutMinutes = 99;
constexpr int kSecondsPerMinute = 60;
constexpr const char* kUploadMarkups = "Upload Markups";
constexpr std::uint32_t kUploadAlways = 2;
constexpr std::uint32_t kUploadNever = 1;
constexpr std::uint32_t kUploadPrompt = 0;

QString SyncCaption(const QString& readerIdentity) {
    return QStringLiteral("On connection to <%1>\nsynchronize title & markup information:")
        .arg(readerIdentity);
}

QRadioButton* Choice(const char* text, const char* objectName) {
    auto* button = new QRadioButton(QString::fromLatin1(text));
    button->setObjectName(objectName);
    return button;
}

}  // namespace

CLXPageMisc::CLXPageMisc(CLXTransferWorker& worker, std::vector<std::string>& sendList,
                         UserPrompts& prompts, QWidget* parent)
    : CLXConfigPage(QStringLiteral("Misc"), worker, sendList, prompts, parent),
      m_worker(worker),
      m_settings(worker.Settings()),
      m_timeout(new QSpinBox),
      m_syncCaption(new QLabel),
      m_always(Choice("&Always", "uploadAlways")),
      m_never(Choice("&Never", "uploadNever")),
      m_prompt(Choice("&Prompt", "uploadPrompt")) {
    m_timeout->setObjectName("autoTimeout");
    m_timeout->setRange(0, kMaxTimeoutMinutes);
    m_syncCaption->setObjectName("syncCaption");
    m_syncCaption->setTextFormat(Qt::PlainText);
    auto* format = new QPushButton(QStringLiteral("&Format eBook..."));
    format->setObjectName("formatReader");

    auto* timeoutForm = new QFormLayout;
    auto* timeoutLabel = new QLabel(QStringLiteral("Auto &Timeout (min)"));
    timeoutLabel->setBuddy(m_timeout);
    timeoutForm->addRow(timeoutLabel, m_timeout);
    auto* choices = new QVBoxLayout;
    choices->setContentsMargins(20, 0, 0, 0);
    for (QRadioButton* choice : {m_always, m_never, m_prompt}) choices->addWidget(choice);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(timeoutForm);
    layout->addSpacing(12);
    layout->addWidget(m_syncCaption);
    layout->addLayout(choices);
    layout->addSpacing(12);
    layout->addWidget(format, 0, Qt::AlignLeft);
    layout->addStretch();
    connect(format, &QPushButton::clicked, this, &CLXPageMisc::OnFormatReader);
}

void CLXPageMisc::OnFirstShow() {
    FillTimeout();
    m_filledTimeout = m_timeout->text();
    FillUploadChoice();
    // Connected after the page filled the box, so that only the user's changes count.
    connect(m_timeout, &QSpinBox::textChanged, this, [this] { m_timeoutChanged = true; });
}

void CLXPageMisc::FillTimeout() {
    long seconds = 0;
    if (Reader().GetStatus()->GetShutdownTime(seconds) == EB_ERR_SUCCESS) {
        m_timeout->setValue(static_cast<int>(seconds / kSecondsPerMinute));
    } else {
        m_timeout->clear();
    }
}

void CLXPageMisc::FillUploadChoice() {
    tPI_STRING deviceId;
    if (Reader().GetStatus()->GetDeviceID(deviceId) == EB_ERR_SUCCESS) m_readerId = deviceId.str();
    if (m_readerId.empty()) {
        // Without the reader's identity there is no reader setting to show or store.
        m_syncCaption->setText(SyncCaption(QStringLiteral("unknown")));
        for (QRadioButton* choice : {m_always, m_never, m_prompt}) choice->setEnabled(false);
        return;
    }
    m_syncCaption->setText(SyncCaption(toQString(m_readerId)));
    std::uint32_t stored = kUploadPrompt;
    m_settings.ReadNumber(m_readerId, kUploadMarkups, stored);
    (stored == kUploadAlways  ? m_always
     : stored == kUploadNever ? m_never
                              : m_prompt)
        ->setChecked(true);
}

std::uint32_t CLXPageMisc::ChosenUpload() const {
    if (m_always->isChecked()) return kUploadAlways;
    if (m_never->isChecked()) return kUploadNever;
    return kUploadPrompt;
}

bool CLXPageMisc::TimeoutChanged() const {
    // The spin box reports no text that is not a number yet, such as an emptied box.
    return m_timeoutChanged || m_timeout->text() != m_filledTimeout;
}

bool CLXPageMisc::OnApply() {
    const bool timeoutChanged = TimeoutChanged();
    if (timeoutChanged && !m_timeout->hasAcceptableInput()) {
        Prompts().tell(programName(),
                       QStringLiteral("Please enter an integer between %1 and %2.")
                           .arg(m_timeout->minimum())
                           .arg(m_timeout->maximum()),
                       UserPrompts::Icon::Exclamation);
        m_timeout->setFocus();
        return false;
    }
    if (!m_readerId.empty()) m_settings.WriteNumber(ChosenUpload(), m_readerId, kUploadMarkups);
    if (!timeoutChanged) return true;
    CLumoCmd& cmd = *Reader().GetCmds();
    cmd.ReOpen();
    cmd.SetAutoTimeOut(m_timeout->value() * kSecondsPerMinute);
    cmd.Close();
    return AppendCommandFileCopy("misc");
}

void CLXPageMisc::OnFormatReader() {
    CLXFormatDlg dialog(this, m_worker, Prompts());
    dialog.exec();
}
