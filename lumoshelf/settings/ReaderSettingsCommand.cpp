#include "settings/ReaderSettingsCommand.h"

#include <QAction>
#include <QEvent>

#include "library/AppMessages.h"
#include "settings/LXConfigSheet.h"
#include "settings/ReaderSettingsSheet.h"
#include "transfers/LXProgressDlg.h"
#include "transfers/ReaderWindowLink.h"
#include "transfers/TransferWorker.h"

ReaderSettingsCommand::ReaderSettingsCommand(ReaderWindowLink& link, CLXTransferWorker& worker,
                                             QAction& action, QWidget& window, UserPrompts& prompts)
    : m_link(link),
      m_worker(worker),
      m_action(action),
      m_window(&window),
      m_prompts(prompts),
      m_readerReady(link.IsReaderReady()) {
    connect(&m_action, &QAction::triggered, this, &ReaderSettingsCommand::Open);
    connect(&m_link, &ReaderWindowLink::ReaderReadyChanged, this, [this](bool ready) {
        m_readerReady = ready;
        UpdateAction();
    });
    UpdateAction();
}

void ReaderSettingsCommand::Open() {
    if (!m_window || !m_readerReady || m_sending) return;
    std::vector<std::string> sendList;
    const auto sheet = BuildReaderSettingsSheet(m_worker, sendList, m_prompts, m_window.data());
    if (sheet->exec() != QDialog::Accepted || sendList.empty() || !m_window) return;
    m_sending = true;
    UpdateAction();
    auto* progress = new CLXProgressDlg(m_window.data(), &m_worker);
    progress->StartSendJob(std::move(sendList), this);
}

bool ReaderSettingsCommand::event(QEvent* event) {
    if (static_cast<unsigned>(event->type()) == WM_APP_TRANSFER_DONE) {
        m_sending = false;
        UpdateAction();
        return true;
    }
    return QObject::event(event);
}

void ReaderSettingsCommand::UpdateAction() { m_action.setEnabled(m_readerReady && !m_sending); }
