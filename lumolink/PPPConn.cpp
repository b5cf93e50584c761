#include "lumolink/PPPConn.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

using namespace lumolink;

namespace {

constexpr int kOpeningTimeoutMs = 300;
constexpr int kOpenTimeoutMs = 2000;
constexpr int kProbeSpeed = 57600;
constexpr int kWriteWaitMs = 2000;
constexpr int kDisconnectPauseMs = 666;
constexpr int kAfterSendPauseMs = 1000;
constexpr BAUD_BITS_MASK kDisconnectMask = BAUD_BITS_57600;
constexpr size_t kArgumentSize = 200;

long MillisecondsSince(const std::optional<LinkClock::time_point>& then) {
    if (!then) return 0;
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(LinkClock::now() - *then).count());
}

}  // namespace

CPPPConn::CPPPConn() : m_tossedAtLastLog(FrameReceiver::TossedTotal()) {
    m_log.Printf("CPPPConn::constructor()\n");
    m_thread = std::thread(&CPPPConn::CommThreadLoop, this);
}

CPPPConn::~CPPPConn() {
    m_log.Printf("CPPPConn::destructor()\n");
    m_exit.store(true);
    m_exitEvent.Signal();
    m_commandEvent.Signal();
    // Every wait and pause of the thread ends on the exit event, so it is always joined.
    m_thread.join();
    // A caller released at exit may still be on its way out of the command block.
    std::lock_guard callers(m_cmdMutex);
    m_log.CloseFile();
    m_port.Close();
}

// ---- Callers' side -------------------------------------------------------------------------

PPP_CONN_ERR CPPPConn::IssueCommand(PPP_CONN_CMD code, CommandArgument argument,
                                    const char* doneName) {
    std::lock_guard callers(m_cmdMutex);
    {
        std::lock_guard block(m_blockMutex);
        m_command = code;
        m_argument = std::move(argument);
        m_pending = true;
    }
    m_commandEvent.Signal();
    PPP_CONN_ERR result;
    {
        std::unique_lock block(m_blockMutex);
        m_done.wait(block, [this] { return !m_pending; });
        result = m_releasedResult;
    }
    m_log.Printf("%s retcode = %d\n", doneName, result);
    return result;
}

PPP_CONN_ERR CPPPConn::Connect(const char* port, BAUD_BITS_MASK mask) {
    m_log.Printf("CPPPConn::Connect\n");
    CommandArgument argument;
    argument.text = port ? port : "";
    if (argument.text.size() >= kArgumentSize) return PPP_CONN_ERR_CANT_ACCESS_PORT;
    m_speedMask.store(mask);
    return IssueCommand(PPP_CONN_CMD_CONNECT, std::move(argument), "Connect");
}

PPP_CONN_ERR CPPPConn::Disconnect() {
    m_log.Printf("CPPPConn::Disconnect\n");
    return IssueCommand(PPP_CONN_CMD_DISCONNECT, {}, "Disconnect");
}

PPP_CONN_ERR CPPPConn::EnableLogging(const char* path) {
    m_log.Printf("CPPPConn::EnableLogging()\n");
    CommandArgument argument;
    argument.text = path ? path : "";
    return IssueCommand(PPP_CONN_CMD_ENABLE_LOGGING, std::move(argument), "enable logging");
}

PPP_CONN_ERR CPPPConn::DisableLogging() {
    m_log.Printf("CPPPConn::DisableLogging()\n");
    return IssueCommand(PPP_CONN_CMD_DISABLE_LOGGING, {}, "disable logging");
}

PPP_CONN_ERR CPPPConn::RegisterConnectionCallback(PPP_CONN_CALLBACK function, void* context,
                                                  PPP_CONN_CALLBACK* previousFunction,
                                                  void** previousContext) {
    m_log.Printf("CPPPConn::RegisterConnectionCallback()\n");
    CommandArgument argument;
    argument.function = reinterpret_cast<void*>(function);
    argument.context = context;
    argument.previousFunction = reinterpret_cast<void**>(previousFunction);
    argument.previousContext = previousContext;
    return IssueCommand(PPP_CONN_CMD_REGISTER_CONN_CALLBACK, std::move(argument),
                        "Register Conn Callback");
}

PPP_CONN_ERR CPPPConn::RegisterProgressCallback(PPP_PROG_CALLBACK function, void* context,
                                                PPP_PROG_CALLBACK* previousFunction,
                                                void** previousContext) {
    m_log.Printf("CPPPConn::RegisterProgressCallback()\n");
    CommandArgument argument;
    argument.function = reinterpret_cast<void*>(function);
    argument.context = context;
    argument.previousFunction = reinterpret_cast<void**>(previousFunction);
    argument.previousContext = previousContext;
    return IssueCommand(PPP_CONN_CMD_REGISTER_PROG_CALLBACK, std::move(argument),
                        "Register Prog Callback");
}

PPP_CONN_ERR CPPPConn::TransferFile(CPPPTransfer* transfer) {
    const bool send = transfer->direction == PPP_CONN_XFER_DIR_SEND;
    m_log.Printf("CPPPConn::TransferFile(%.200s %s %.200s)\n", transfer->localName,
                 send ? "-->" : "<--", transfer->remoteName);
    const PPP_CONN_ERR state = GetConnState();
    if (!IsConnectedCode(state)) return state;
    // A name cut to its field would open some other file.
    if (!transfer->LocalNameFits()) return PPP_CONN_ERR_LOCAL_FILE_OPEN;
    if (!transfer->RemoteNameFits()) return PPP_CONN_ERR_REMOTE_FILE_OPEN;
    CommandArgument argument;
    argument.transfer = transfer;
    return IssueCommand(send ? PPP_CONN_CMD_SEND_FILE : PPP_CONN_CMD_RECEIVE_FILE,
                        std::move(argument), "send file");
}

PPP_CONN_ERR CPPPConn::GetRemoteId(char* buffer, int length) {
    m_log.Printf("CPPPConn::GetRemoteId()\n");
    const PPP_CONN_ERR state = GetConnState();
    if (!IsConnectedCode(state)) return state;
    std::lock_guard lock(m_identityMutex);
    if (length > 0) std::strncpy(buffer, m_remoteId.data(), static_cast<size_t>(length));
    return PPP_CONN_ERR_SUCCESS;
}

PPP_CONN_ERR CPPPConn::CancelFileTransfer() {
    m_log.Printf("CPPPConn::CancelFileTransfer()\n");
    const PPP_CONN_ERR state = GetConnState();
    if (!IsConnectedCode(state)) return state;
    m_log.Printf("CPPPConn::CancelFileTransfer: set cancel event\n");
    m_cancelEvent.Signal();
    return PPP_CONN_ERR_SUCCESS;
}

PPP_CONN_ERR CPPPConn::GetConnState() const {
    switch (m_state.load()) {
        case LUMS_INIT:
        case LUMS_OPENING:
            return PPP_CONN_ERR_CANT_ACCESS_PORT;
        case LUMS_BAUD:
        case LUMS_CLOSED:
            return PPP_CONN_ERR_NOT_CONNECTED;
        case LUMS_OPEN:
            return PPP_CONN_ERR_CONNECTED;
        default:
            return PPP_CONN_ERR_CONNECTED_BUSY;
    }
}

// ---- Command block, thread side --------------------------------------------------------------

bool CPPPConn::CommandPending() {
    std::lock_guard block(m_blockMutex);
    return m_pending;
}

void CPPPConn::ReleaseCaller() {
    std::lock_guard block(m_blockMutex);
    if (!m_pending) return;
    m_pending = false;
    m_releasedResult = m_result;
    m_done.notify_all();
}

// ---- Communication thread ---------------------------------------------------------------------

int CPPPConn::WaitTimeoutMs() const {
    if (!m_deadline) return m_timeoutMs;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*m_deadline - LinkClock::now());
    return static_cast<int>(std::clamp<long>(left.count(), 0, m_timeoutMs));
}

void CPPPConn::CommThreadLoop() {
    for (;;) {
        std::this_thread::yield();
        pollfd fds[3] = {{m_cancelEvent.fd(), POLLIN, 0},
                         {m_commandEvent.fd(), POLLIN, 0},
                         {m_port.fd(), POLLIN, 0}};
        const int ready = poll(fds, 3, WaitTimeoutMs());
        const int waitError = ready < 0 ? errno : 0;
        m_reopenTried = false;
        if (m_exit.load()) {
            // Neither a running transfer nor a command still waiting outlives the engine.
            m_result = PPP_CONN_ERR_UNKNOWN;
            CompleteCommandInProgress();
            ReleaseCaller();
            return;
        }
        const int portBefore = m_port.fd();
        CheckDeadline();
        if (ready < 0) {
            if (waitError != EINTR) {
                m_log.Printf(
                    "Communication Thread: bad return val from WaitForMultipleObjects()\n");
            }
            continue;
        }
        if (fds[0].revents & POLLIN) {
            ProcessCancelEvent();
        } else if (fds[1].revents & POLLIN) {
            ProcessCmdEvent();
        } else if (fds[2].revents != 0 && m_port.fd() == portBefore) {
            ProcessRxEvent(fds[2].revents);
        }
    }
}

void CPPPConn::CheckDeadline() {
    if (!m_deadline || LinkClock::now() < *m_deadline) return;
    HandleLumoProtocol(m_retriesLeft > 0 ? LUMI_TOP : LUMI_TOM);
}

void CPPPConn::SleepInterruptible(int ms) {
    pollfd exitFd{m_exitEvent.fd(), POLLIN, 0};
    poll(&exitFd, 1, ms);
}

void CPPPConn::ProcessCmdEvent() {
    m_commandEvent.Consume();
    PPP_CONN_CMD command;
    CommandArgument argument;
    {
        std::lock_guard block(m_blockMutex);
        if (!m_pending || m_transferInProgress || m_state.load() == LUMS_BUSY) return;
        command = m_command;
        argument = m_argument;
    }
    const bool transfer = command == PPP_CONN_CMD_SEND_FILE || command == PPP_CONN_CMD_RECEIVE_FILE;
    // A transfer left waiting while the reader went away gets the answer TransferFile would
    // have given in this state, instead of waiting for a reader that may never come back.
    if (transfer && !IsConnectedCode(GetConnState())) {
        m_result = GetConnState();
        ReleaseCaller();
        return;
    }

    m_log.Printf("CPPPConn::ProcessCmdEvent(%d)\n", command);
    m_result = PPP_CONN_ERR_UNKNOWN;
    m_currentCommand = command;
    switch (command) {
        case PPP_CONN_CMD_REGISTER_CONN_CALLBACK:
        case PPP_CONN_CMD_REGISTER_PROG_CALLBACK: {
            const bool conn = command == PPP_CONN_CMD_REGISTER_CONN_CALLBACK;
            m_log.Printf(conn ? "\tPPP_CONN_CMD_REGISTER_CONN_CALLBACK:\n"
                              : "\tPPP_CONN_CMD_REGISTER_PROG_CALLBACK:\n");
            void* oldFunction = conn ? reinterpret_cast<void*>(m_connCallback)
                                     : reinterpret_cast<void*>(m_progCallback);
            void* oldContext = conn ? m_connContext : m_progContext;
            if (conn) {
                m_connCallback = reinterpret_cast<PPP_CONN_CALLBACK>(argument.function);
                m_connContext = argument.context;
            } else {
                m_progCallback = reinterpret_cast<PPP_PROG_CALLBACK>(argument.function);
                m_progContext = argument.context;
            }
            m_result = PPP_CONN_ERR_SUCCESS;
            if (argument.previousFunction && argument.previousContext) {
                *argument.previousFunction = oldFunction;
                *argument.previousContext = oldContext;
            }
            ReleaseCaller();
            break;
        }
        case PPP_CONN_CMD_CONNECT:
            m_log.Printf("\tPPP_CONN_CMD_CONNECT: %s\n", argument.text.c_str());
            m_portName = argument.text;
            m_result = HandleLumoProtocol(LUMI_OPEN_ADMIN);
            ReleaseCaller();
            break;
        case PPP_CONN_CMD_ENABLE_LOGGING:
            m_log.Printf("processing enable logging command\n");
            m_log.CloseFile();
            if (argument.text.size() < kArgumentSize && m_log.OpenFile(argument.text)) {
                m_result = PPP_CONN_ERR_SUCCESS;
                m_log.Printf("Log File Opened At Tick Count:%d\n", static_cast<int>(TickCountMs()));
            } else {
                m_result = PPP_CONN_ERR_UNKNOWN;
            }
            ReleaseCaller();
            break;
        case PPP_CONN_CMD_DISABLE_LOGGING:
            m_log.Printf("processing disable logging command\n");
            m_log.CloseFile();
            m_result = PPP_CONN_ERR_SUCCESS;
            ReleaseCaller();
            break;
        case PPP_CONN_CMD_RECEIVE_FILE:
        case PPP_CONN_CMD_SEND_FILE: {
            const bool send = command == PPP_CONN_CMD_SEND_FILE;
            m_log.Printf(send ? "processing send file command\n"
                              : "processing receive file command\n");
            // The result carries the outcome so far, so progress reports show success until
            // something fails.
            m_result =
                send ? InitiateSendFile(argument.transfer) : InitiateReceiveFile(argument.transfer);
            if (m_result == PPP_CONN_ERR_SUCCESS) {
                m_transferInProgress = true;
            } else {
                ReleaseCaller();
            }
            break;
        }
        case PPP_CONN_CMD_DISCONNECT:
            m_log.Printf("\tPPP_CONN_CMD_DISCONNECT\n");
            m_result = HandleLumoProtocol(LUMI_CLOSE_ADMIN);
            ReleaseCaller();
            break;
        default:
            m_log.Printf("processing unknown cmd\n");
            break;
    }
    m_log.Printf("processing command done\n");
}

void CPPPConn::ProcessCancelEvent() {
    m_cancelEvent.Consume();
    m_log.Printf("CPPPConn::ProcessCancelEvent\n");
    m_log.Printf("ProcessCancelEvent\n");
    if (m_transferInProgress) {
        SendPacket(LUMI_FCANCEL, static_cast<uint8_t>(m_fileHandle));
        ChangeState(LUMS_FCANCEL);
    }
    if (CommandPending()) {
        m_result = PPP_CONN_ERR_CANCELLED;
        // A command still waiting to be taken up is answered now and never runs.
        if (!m_transferInProgress) ReleaseCaller();
    }
    CompleteCommandInProgress();
}

void CPPPConn::ProcessRxEvent(short events) {
    if (!m_port.IsOpen()) return;
    const int port = m_port.fd();
    int error = 0;
    if (events & POLLIN) {
        const long count = m_port.ReadAvailable(m_readBuffer);
        for (long i = 0; i < count && m_port.fd() == port; ++i) {
            PutReceivedByte(m_readBuffer[static_cast<size_t>(i)]);
        }
        if (count > 0) return;
        if (count < 0) error = m_port.LastOsError();
    }
    if (error == 0 && (events & (POLLHUP | POLLERR | POLLNVAL))) error = EIO;
    if (error == 0) return;
    // An unplugged adapter or a closed pseudo-terminal: the port is closed and reopened by name
    // on the next probe, rather than spun on here.
    m_log.Printf("IssueOverlappedRead: ReadFile: unexpected error %d reading com port\n", error);
    ClosePortAfterError(error);
}

void CPPPConn::PutReceivedByte(uint8_t byte) {
    const FrameEvent event = m_receiver.PutByte(byte);
    if (event == FrameEvent::None || event == FrameEvent::Empty) return;
    const bool logging = m_log.FileOpen();
    if (logging) LogReceivedFrame();
    switch (event) {
        case FrameEvent::TooShort:
            if (logging) {
                m_log.Printf("RX - header length too short 0x%x, should be atleast 0x%x\n",
                             static_cast<unsigned>(m_receiver.Stored().size()), 3u);
            }
            break;
        case FrameEvent::BadFcs:
            if (logging) {
                m_log.Printf("RX - invalid FCS 0x%x, should be 0x%x\n", m_receiver.StoredFcs(),
                             kFcsGood);
            }
            break;
        case FrameEvent::BadProtocol:
            m_log.Printf("RX - invalid protocol 0x%x\n", m_receiver.Protocol());
            break;
        case FrameEvent::BadLength:
            if (logging) {
                m_log.Printf("RX - packet length 0x%x does not fit the 0x%x bytes received\n",
                             m_receiver.Packet().length(),
                             static_cast<unsigned>(m_receiver.PacketBytes()));
            }
            break;
        case FrameEvent::Packet:
            HandleLumoProtocol(m_receiver.Packet().code());
            break;
        default:
            break;
    }
}

void CPPPConn::LogReceivedFrame() {
    const uint32_t tossed = FrameReceiver::TossedTotal();
    if (tossed != m_tossedAtLastLog) {
        m_log.Printf("RX CHARS TOSSED: %i\n", static_cast<int>(tossed - m_tossedAtLastLog));
        m_tossedAtLastLog = tossed;
    }
    m_log.Printf("RX [%d](%i):", static_cast<int>(m_receiver.Stored().size()),
                 static_cast<int>(MillisecondsSince(m_lastLoggedFrame)));
    m_log.HexDump(m_receiver.Stored());
    m_lastLoggedFrame = LinkClock::now();
}

// ---- Protocol handler -------------------------------------------------------------------------

void CPPPConn::LogPacketName(const char* prefix, unsigned code) {
    if (code < kLumiCodeCount) {
        m_log.Printf("%s%s\n", prefix, LumiName(code));
    } else {
        m_log.Printf("BOGUS %s%x\n", prefix, code);
    }
}

void CPPPConn::LogState() {
    const int state = m_state.load();
    if (state < kLumsStateCount) {
        m_log.Printf("State = %s\n", LumsName(state));
    } else {
        m_log.Printf("BOGUS State = %d\n", state);
    }
}

PPP_CONN_ERR CPPPConn::HandleLumoProtocol(unsigned code) {
    if (m_log.FileOpen()) {
        LogPacketName("<=====RECV:", code);
        LogState();
    }
    const LUMS_STATE state = m_state.load();
    switch (code) {
        case LUMI_NACK:
            // A NACK costs a retry like a time-out, so a reader that keeps refusing a frame
            // ends in LUMI_TOM instead of an endless exchange.
            if (state == LUMS_INIT) break;
            if (m_retriesLeft > 0) {
                --m_retriesLeft;
                SendToRemote();
            } else {
                HandleLumoProtocol(LUMI_TOM);
            }
            break;
        case LUMI_CHECK_DATA:
            HandleCheckData();
            break;
        case LUMI_TOP:
            if (state == LUMS_INIT) break;
            --m_retriesLeft;
            SendToRemote();
            break;
        case LUMI_TOM:
            if (state == LUMS_INIT) break;
            if (m_transferInProgress) {
                m_result = PPP_CONN_ERR_TIMEOUT;
                CompleteCommandInProgress();
            }
            ChangeState(LUMS_CLOSED);
            break;
        case LUMI_OPEN_ADMIN: {
            if (state != LUMS_INIT) return PPP_CONN_ERR_SUCCESS;
            m_retryReset = 2;
            m_speed.store(kProbeSpeed);
            m_timeoutMs = kOpeningTimeoutMs;
            const PPP_CONN_ERR opened = OpenPort(m_portName, kProbeSpeed, kOpeningTimeoutMs);
            if (opened != PPP_CONN_ERR_SUCCESS) return opened;
            ChangeState(LUMS_OPENING);
            SendPacket(LUMI_CHECK, 0);
            return PPP_CONN_ERR_SUCCESS;
        }
        case LUMI_CLOSE_ADMIN:
            return HandleCloseAdmin();
        case LUMI_FHANDLE: {
            if (state != LUMS_FOPEN || !m_transferInProgress) break;
            const bool send = m_transfer->direction == PPP_CONN_XFER_DIR_SEND;
            const PPP_CONN_ERR result = send ? ContinueSendFile() : ContinueReceiveFile();
            if (result == PPP_CONN_ERR_SUCCESS) {
                ChangeState(send ? LUMS_WRITING : LUMS_READING);
            } else {
                m_result = result;
                CompleteCommandInProgress();
                ChangeState(LUMS_OPEN);
            }
            break;
        }
        case LUMI_FWRITE_ACK:
            if (state == LUMS_WRITING && m_transferInProgress) HandleWriteAck();
            break;
        case LUMI_FCLOSE_ACK: {
            if (state != LUMS_FCLOSE) break;
            const bool afterSend =
                m_transferInProgress && m_transfer->direction == PPP_CONN_XFER_DIR_SEND;
            m_result = PPP_CONN_ERR_SUCCESS;
            CompleteCommandInProgress();
            if (afterSend) SleepInterruptible(kAfterSendPauseMs);
            ChangeState(LUMS_BUSY);
            break;
        }
        case LUMI_REMOTE_ABORT:
            if (state == LUMS_BAUD) {
                ChangeState(LUMS_OPEN);
                break;
            }
            if (m_transferInProgress) {
                m_result = PPP_CONN_ERR_REMOTE_ABORT;
                CompleteCommandInProgress();
            }
            ChangeState(LUMS_BUSY);
            break;
        case LUMI_READ_DATA:
            if (state == LUMS_READING && m_transferInProgress) HandleReadData();
            break;
        case LUMI_BAUD_ACK:
            if (state == LUMS_BAUD) HandleBaudAck();
            break;
        case LUMI_FCANCEL_ACK:
            if (state != LUMS_FCANCEL) break;
            m_result = PPP_CONN_ERR_CANCELLED;
            CompleteCommandInProgress();
            ChangeState(LUMS_OPEN);
            break;
        case LUMI_STATUS_RESP:
            HandleStatusResp();
            break;
        default:
            break;
    }
    return PPP_CONN_ERR_SUCCESS;
}

void CPPPConn::HandleCheckData() {
    {
        // Only the identity bytes that arrived are taken; a short packet leaves zeros, not
        // the remains of earlier frames.
        const auto data = m_receiver.Packet().data();
        std::lock_guard lock(m_identityMutex);
        m_remoteId.fill(0);
        std::copy_n(data.begin(), std::min<size_t>(data.size(), kRemoteIdSize), m_remoteId.begin());
    }
    const LUMS_STATE state = m_state.load();
    if (state == LUMS_OPENING || state == LUMS_CLOSED) {
        SendPacket(LUMI_NEGOTIATE_BAUD, m_speedMask.load());
        ChangeState(LUMS_BAUD);
    } else if (state == LUMS_OPEN || state == LUMS_BUSY) {
        m_retriesLeft = 2;
        if (state != LUMS_OPEN) ChangeState(LUMS_OPEN);
    }
}

void CPPPConn::HandleBaudAck() {
    const int speed = SpeedOfHighestBit(m_receiver.Packet().parameter());
    if (speed != 0) {
        m_speed.store(speed);
        SetPortSpeed(speed);
    }
    ChangeState(LUMS_OPEN);
}

void CPPPConn::HandleStatusResp() {
    m_retriesLeft = m_retryReset = 2;
    const auto data = m_receiver.Packet().data();
    const LUMS_STATE state = m_state.load();
    if (data.size() > 4 && (data[4] & 1) && (state == LUMS_OPEN || state == LUMS_CLOSED)) {
        ChangeState(LUMS_BUSY);
    }
}

PPP_CONN_ERR CPPPConn::HandleCloseAdmin() {
    m_log.Printf("CPPPConn::HandleLumoProtocol: LUMI_CLOSE_ADMIN\n");
    if (m_currentCommand != PPP_CONN_CMD_DISCONNECT) return PPP_CONN_ERR_SUCCESS;
    m_log.Printf("Going to LUMS_INIT_STATE\n");
    SendPacket(LUMI_NEGOTIATE_BAUD, kDisconnectMask);
    m_deadline.reset();
    ChangeState(LUMS_INIT);
    SleepInterruptible(kDisconnectPauseMs);
    m_port.Close();
    return PPP_CONN_ERR_SUCCESS;
}

void CPPPConn::ChangeState(LUMS_STATE next) {
    if (m_log.FileOpen()) LogState();
    switch (next) {
        case LUMS_OPEN:
            m_timeoutMs = kOpenTimeoutMs;
            SendPacket(LUMI_CHECK, 0);
            break;
        case LUMS_CLOSED: {
            std::lock_guard lock(m_identityMutex);
            m_remoteId.fill(0);
        }
            m_speed.store(kProbeSpeed);
            m_timeoutMs = kOpeningTimeoutMs;
            OpenPort(m_portName, kProbeSpeed, kOpeningTimeoutMs);
            SendPacket(LUMI_CHECK, 0);
            break;
        case LUMS_BUSY:
            m_timeoutMs = kOpenTimeoutMs;
            SendPacket(LUMI_CHECK, 0);
            break;
        default:
            break;
    }
    if (next == m_state.load()) return;
    m_state.store(next);
    // Any change may let a waiting command run or end, not only the return to LUMS_OPEN.
    if (next == LUMS_OPEN || CommandPending()) m_commandEvent.Signal();
    if (m_connCallback) m_connCallback(m_connContext, GetConnState());
}

void CPPPConn::SendPacket(uint8_t code, uint8_t parameter, std::span<const uint8_t> data) {
    m_retriesLeft = m_retryReset;
    m_builder.Build(kDeviceProtocol, code, m_sequence, parameter, data);
    ++m_sequence;
    m_lastCodeSent = code;
    SendToRemote();
}

void CPPPConn::SendToRemote() {
    const auto frame = m_builder.Frame();
    if (m_log.FileOpen()) {
        LogPacketName("====>SEND:", m_lastCodeSent);
        m_log.Printf("TX [%3d](%5i):", static_cast<int>(frame.size()),
                     static_cast<int>(MillisecondsSince(m_lastLoggedFrame)));
        m_log.HexDump(frame);
        m_lastLoggedFrame = LinkClock::now();
    }
    m_deadline = LinkClock::now() + std::chrono::milliseconds(m_timeoutMs);
    if (!m_port.IsOpen() && !ReopenPortOnce()) return;
    if (m_port.WriteAll(frame, kWriteWaitMs, m_exitEvent.fd())) return;
    // A failed write is left to the time-out and retransmission.
    const int error = m_port.LastOsError();
    if (error == 0) {
        m_log.Printf(
            "SendToRemote: GetOverlappedResult: wait abandoned or timed-out: "
            "wait_result: %d\n",
            0);
        return;
    }
    m_log.Printf("SendToRemote: WriteFile GetLastError is not io-pending (%d)\n", error);
    ClosePortAfterError(error);
}

// ---- Port -------------------------------------------------------------------------------------

PPP_CONN_ERR CPPPConn::OpenPort(const std::string& name, int speed, int timeoutMs) {
    if (!m_port.IsOpen()) {
        m_reopenTried = true;
        if (m_port.Open(name) != PPP_CONN_ERR_SUCCESS) {
            m_lastOsError.store(static_cast<unsigned long>(m_port.LastOsError()));
            return PPP_CONN_ERR_CANT_ACCESS_PORT;
        }
    }
    const PPP_CONN_ERR result = SetPortSpeed(speed);
    if (result != PPP_CONN_ERR_SUCCESS) {
        m_port.Close();
        return result;
    }
    m_timeoutMs = timeoutMs;
    return PPP_CONN_ERR_SUCCESS;
}

PPP_CONN_ERR CPPPConn::SetPortSpeed(int speed) {
    const PPP_CONN_ERR result = m_port.SetSpeed(speed);
    if (result != PPP_CONN_ERR_SUCCESS) {
        m_lastOsError.store(static_cast<unsigned long>(m_port.LastOsError()));
    }
    return result;
}

void CPPPConn::ClosePortAfterError(int error) {
    m_lastOsError.store(static_cast<unsigned long>(error));
    m_port.Close();
}

bool CPPPConn::ReopenPortOnce() {
    if (m_reopenTried || m_state.load() == LUMS_INIT || m_portName.empty()) return false;
    return OpenPort(m_portName, m_speed.load(), m_timeoutMs) == PPP_CONN_ERR_SUCCESS;
}
