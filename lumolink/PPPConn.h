#pragma once

// The link engine: one serial port, one communication thread, the device protocol's states,
// retransmission, speed negotiation, keep-alive, file transfers and the link log. Callers hand
// commands to the thread through the command block and wait for the result.

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "lumolink/LinkFraming.h"
#include "lumolink/LinkLog.h"
#include "lumolink/LinkNames.h"
#include "lumolink/LumoConnectTransfer.h"
#include "lumolink/PppTypes.h"
#include "lumolink/platform/Clock.h"
#include "lumolink/platform/EventFd.h"
#include "lumolink/platform/SerialPort.h"

using PPP_CONN_CALLBACK = void (*)(void* context, PPP_CONN_ERR state);
using PPP_PROG_CALLBACK = void (*)(void* context, CPPPTransfer* transfer);

enum PPP_CONN_CMD : int {
    PPP_CONN_CMD_NONE = 0,
    PPP_CONN_CMD_REGISTER_CONN_CALLBACK = 1,
    PPP_CONN_CMD_REGISTER_PROG_CALLBACK = 2,
    PPP_CONN_CMD_CONNECT = 3,
    PPP_CONN_CMD_ENABLE_LOGGING = 5,
    PPP_CONN_CMD_DISABLE_LOGGING = 6,
    PPP_CONN_CMD_RECEIVE_FILE = 9,
    PPP_CONN_CMD_SEND_FILE = 10,
    PPP_CONN_CMD_DISCONNECT = 11,
};

inline constexpr int kRemoteIdSize = 40;
inline constexpr int kChunkSize = 2048;

class CPPPConn {
public:
    CPPPConn();
    virtual ~CPPPConn();
    CPPPConn(const CPPPConn&) = delete;
    CPPPConn& operator=(const CPPPConn&) = delete;

    PPP_CONN_ERR Connect(const char* port, BAUD_BITS_MASK mask);
    PPP_CONN_ERR Disconnect();
    PPP_CONN_ERR EnableLogging(const char* path);
    PPP_CONN_ERR DisableLogging();
    PPP_CONN_ERR RegisterConnectionCallback(PPP_CONN_CALLBACK function, void* context,
                                            PPP_CONN_CALLBACK* previousFunction = nullptr,
                                            void** previousContext = nullptr);
    PPP_CONN_ERR RegisterProgressCallback(PPP_PROG_CALLBACK function, void* context,
                                          PPP_PROG_CALLBACK* previousFunction = nullptr,
                                          void** previousContext = nullptr);
    PPP_CONN_ERR TransferFile(CPPPTransfer* transfer);
    PPP_CONN_ERR GetRemoteId(char* buffer, int length);
    PPP_CONN_ERR CancelFileTransfer();
    PPP_CONN_ERR GetConnState() const;

    // For diagnostics and tests: the protocol state and the line speed in use.
    lumolink::LUMS_STATE GetLinkState() const { return m_state.load(); }
    int GetSpeed() const { return m_speed.load(); }
    unsigned long GetLastOsError() const { return m_lastOsError.load(); }

    // Read-alt-open rule for the reader firmware named in an identity block.
    static bool UseAltOpen(const char* identity);

private:
    struct CommandArgument {
        std::string text;
        void* function = nullptr;
        void* context = nullptr;
        void** previousFunction = nullptr;
        void** previousContext = nullptr;
        CPPPTransfer* transfer = nullptr;
    };

    PPP_CONN_ERR IssueCommand(PPP_CONN_CMD code, CommandArgument argument, const char* doneName);
    void ReleaseCaller();
    bool CommandPending();

    // Communication thread.
    void CommThreadLoop();
    int WaitTimeoutMs() const;
    void CheckDeadline();
    void ProcessCancelEvent();
    void ProcessCmdEvent();
    void ProcessRxEvent(short events);
    void PutReceivedByte(uint8_t byte);
    void LogReceivedFrame();
    void SleepInterruptible(int ms);

    PPP_CONN_ERR HandleLumoProtocol(unsigned code);
    void HandleCheckData();
    void HandleBaudAck();
    void HandleStatusResp();
    PPP_CONN_ERR HandleCloseAdmin();
    void ChangeState(lumolink::LUMS_STATE next);
    void SendPacket(uint8_t code, uint8_t parameter, std::span<const uint8_t> data = {});
    void SendToRemote();
    void LogPacketName(const char* prefix, unsigned code);
    void LogState();
    uint8_t LastSequenceSent() const { return static_cast<uint8_t>(m_sequence - 1); }
    bool IsConnectedCode(PPP_CONN_ERR code) const {
        return code == PPP_CONN_ERR_CONNECTED || code == PPP_CONN_ERR_CONNECTED_BUSY;
    }

    // Port.
    PPP_CONN_ERR OpenPort(const std::string& name, int speed, int timeoutMs);
    PPP_CONN_ERR SetPortSpeed(int speed);
    void ClosePortAfterError(int error);
    bool ReopenPortOnce();

    // Transfers (PPPConnTransfer.cpp).
    PPP_CONN_ERR InitiateSendFile(CPPPTransfer* transfer);
    PPP_CONN_ERR ContinueSendFile();
    PPP_CONN_ERR SendNextChunk();
    void HandleWriteAck();
    PPP_CONN_ERR InitiateReceiveFile(CPPPTransfer* transfer);
    PPP_CONN_ERR ContinueReceiveFile();
    void HandleReadData();
    void CompleteCommandInProgress();
    void NotifyProgress();
    void CloseLocalFile();
    void FinishLocalFile();
    bool UseAltOpen() const;

    // Port and settings.
    lumolink::SerialPort m_port;
    std::string m_portName;
    std::atomic<BAUD_BITS_MASK> m_speedMask{BAUD_BITS_ALL};
    std::atomic<unsigned long> m_lastOsError{0};
    bool m_reopenTried = false;

    // Thread and events.
    lumolink::EventFd m_cancelEvent;
    lumolink::EventFd m_commandEvent;
    lumolink::EventFd m_exitEvent;
    std::atomic<bool> m_exit{false};

    // Command block: m_cmdMutex serialises callers; m_blockMutex guards the fields below it.
    std::mutex m_cmdMutex;
    std::mutex m_blockMutex;
    std::condition_variable m_done;
    bool m_pending = false;
    PPP_CONN_CMD m_command = PPP_CONN_CMD_NONE;
    CommandArgument m_argument;
    PPP_CONN_ERR m_result = PPP_CONN_ERR_UNKNOWN;          // thread only
    PPP_CONN_ERR m_releasedResult = PPP_CONN_ERR_UNKNOWN;  // handed to the caller
    PPP_CONN_CMD m_currentCommand = PPP_CONN_CMD_NONE;     // the one taken up, thread only

    // Transfer.
    bool m_transferInProgress = false;
    CPPPTransfer* m_transfer = nullptr;
    uint32_t m_fileHandle = 0;
    int m_lastChunkLength = 0;
    int m_lastChunkData = 0;
    std::FILE* m_localFile = nullptr;
    std::string m_receiveTempPath;
    std::array<uint8_t, kChunkSize> m_chunk{};

    // Callbacks.
    PPP_CONN_CALLBACK m_connCallback = nullptr;
    void* m_connContext = nullptr;
    PPP_PROG_CALLBACK m_progCallback = nullptr;
    void* m_progContext = nullptr;

    // Remote identity, read by callers without the command block.
    mutable std::mutex m_identityMutex;
    std::array<char, kRemoteIdSize + 1> m_remoteId{};

    // Log.
    lumolink::LinkLog m_log;
    std::optional<lumolink::LinkClock::time_point> m_lastLoggedFrame;
    uint32_t m_tossedAtLastLog = 0;

    // Link record.
    lumolink::FrameBuilder m_builder{lumolink::LinkSide::Host};
    lumolink::FrameReceiver m_receiver{lumolink::LinkSide::Host};
    std::array<uint8_t, 4096> m_readBuffer{};
    uint8_t m_sequence = 0;
    uint8_t m_lastCodeSent = 0;
    std::atomic<lumolink::LUMS_STATE> m_state{lumolink::LUMS_INIT};
    int m_retriesLeft = 0;
    int m_retryReset = 2;
    std::optional<lumolink::LinkClock::time_point> m_deadline;
    std::atomic<int> m_speed{57600};
    int m_timeoutMs = 300;

    std::thread m_thread;  // last: starts after every member above exists
};
