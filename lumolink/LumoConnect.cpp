#include "lumolink/LumoConnect.h"

#include <array>
#include <string>

#include "lumolink/LinkLog.h"
#include "lumolink/LinkNames.h"
#include "lumolink/PPPConn.h"

using lumolink::DebugOutput;

// The port and speed mask of the last Connect.
class CLumoConnectSettings {
public:
    virtual ~CLumoConnectSettings() = default;

    std::string port;
    BAUD_BITS_MASK mask = BAUD_BITS_ALL;
};

CLumoConnect::CLumoConnect()
    : m_engine((DebugOutput("CLumoConnect::CLumoConnect\n"), std::make_unique<CPPPConn>())),
      m_settings(std::make_unique<CLumoConnectSettings>()),
      m_status(std::make_unique<CLumoStatus>(m_engine.get())),
      m_cmds(std::make_unique<CLumoCmd>(this)) {
    m_engine->RegisterConnectionCallback(&CLumoConnect::OnConnectHandler, this);
    m_engine->RegisterProgressCallback(&CLumoConnect::OnProgressHandler, this);
}

CLumoConnect::~CLumoConnect() {
    // The engine goes first, so that no callback reaches a half-destroyed facade.
    m_engine.reset();
}

EB_ERR_STATUS CLumoConnect::Connect(const char* port, BAUD_BITS_MASK mask) {
    DebugOutput("CLumoConnect::Connect (%s)\n", port ? port : "");
    m_settings->port = port ? port : "";
    m_settings->mask = mask;
    return ConvertPppToEb(m_engine->Connect(m_settings->port.c_str(), mask));
}

EB_ERR_STATUS CLumoConnect::Disconnect() {
    DebugOutput("CLumoConnect::Disconnect\n");
    return ConvertPppToEb(m_engine->Disconnect());
}

int CLumoConnect::IsConnected() {
    const EB_ERR_STATUS state = GetEbConnectState();
    return state == EB_ERR_STATUS_CONNECTED || state == EB_ERR_STATUS_CONNECTED_BUSY;
}

EB_ERR_STATUS CLumoConnect::GetEbConnectState() { return ConvertPppToEb(m_engine->GetConnState()); }

EB_ERR_STATUS CLumoConnect::GetVersionAndRemoteId(char* buffer, int length) {
    return ConvertPppToEb(m_engine->GetRemoteId(buffer, length));
}

EB_ERR_STATUS CLumoConnect::TransferFile(CLumoConnectTransfer* transfer) {
    return ConvertPppToEb(m_engine->TransferFile(transfer));
}

EB_ERR_STATUS CLumoConnect::CancelFileTransfer() {
    return ConvertPppToEb(m_engine->CancelFileTransfer());
}

EB_ERR_STATUS CLumoConnect::EnableLogging(const char* path) {
    return ConvertPppToEb(m_engine->EnableLogging(path));
}

EB_ERR_STATUS CLumoConnect::DisableLogging() { return ConvertPppToEb(m_engine->DisableLogging()); }

EB_ERR_STATUS CLumoConnect::GetPortName(tPI_STRING&) { return EB_ERR_SUCCESS; }

EB_ERR_STATUS CLumoConnect::GetConnectedBaud(unsigned long) { return EB_ERR_SUCCESS; }

const char* CLumoConnect::GetEbErrMsg(EB_ERR_STATUS status) {
    static constexpr std::array<const char*, 19> names = {"EB_ERR_SUCCESS",
                                                          "EB_ERR_LOAD_FAILED",
                                                          "EB_ERR_LOAD_FAILED_BAD_ARGS",
                                                          "EB_ERR_LOAD_FAILED_BAD_KW",
                                                          "EB_ERR_DUMP_FAILED",
                                                          "EB_ERR_NO_PPPCONN_HANDLE",
                                                          "EB_ERR_LX_STATUS_FILE_RETRIEVE_FAILED",
                                                          "EB_ERR_CANT_ACCESS_LOCAL_FILE",
                                                          "EB_ERR_CANT_ACCESS_REMOTE_FILE",
                                                          "EB_ERR_SEND_FAILED",
                                                          "EB_ERR_STATUS_CONNECTED",
                                                          "EB_ERR_STATUS_NOT_CONNECTED",
                                                          "EB_ERR_STATUS_CONNECTED_BUSY",
                                                          "EB_ERR_TIMEOUT",
                                                          "EB_ERR_GENERAL_ERROR",
                                                          "EB_ERR_CANT_ACCESS_PORT",
                                                          "EB_ERR_PROTOCOL",
                                                          "EB_ERR_OPERATION_CANCELLED",
                                                          "EB_ERR_EOF_ON_SEND"};
    const auto index = static_cast<size_t>(status);
    return index < names.size() ? names[index] : "";
}

void CLumoConnect::OnConnect(EB_ERR_STATUS) {
    DebugOutput("CLumoConnect::OnConnect: Don't you want to override this virtual method?\n");
}

void CLumoConnect::OnProgress(CLumoConnectTransfer*) {
    DebugOutput("CLumoConnect::OnProgress: Don't you want to override this virtual method?\n");
}

EB_ERR_STATUS CLumoConnect::ConvertPppToEb(PPP_CONN_ERR error) {
    switch (error) {
        case PPP_CONN_ERR_SUCCESS:
            return EB_ERR_SUCCESS;
        case PPP_CONN_ERR_CANT_ACCESS_PORT:
        case PPP_CONN_ERR_SETUPCOM_GETSTATE:
        case PPP_CONN_ERR_SETUPCOM_SETSTATE:
        case PPP_CONN_ERR_SETUPCOM_SETTIME:
            return EB_ERR_CANT_ACCESS_PORT;
        case PPP_CONN_ERR_BAD_FCS:
        case PPP_CONN_ERR_RUNT:
            return EB_ERR_PROTOCOL;
        case PPP_CONN_ERR_PROTO_TIMEOUT:
        case PPP_CONN_ERR_TIMEOUT:
            return EB_ERR_TIMEOUT;
        case PPP_CONN_ERR_REMOTE_ABORT:
        case PPP_CONN_ERR_REMOTE_FILE_OPEN:
            return EB_ERR_CANT_ACCESS_REMOTE_FILE;
        case PPP_CONN_ERR_LOCAL_FILE_OPEN:
            return EB_ERR_CANT_ACCESS_LOCAL_FILE;
        case PPP_CONN_ERR_EOF_ON_SEND:
            return EB_ERR_EOF_ON_SEND;
        case PPP_CONN_ERR_CANCELLED:
            return EB_ERR_OPERATION_CANCELLED;
        case PPP_CONN_ERR_NOT_CONNECTED:
            return EB_ERR_STATUS_NOT_CONNECTED;
        case PPP_CONN_ERR_CONNECTED:
            return EB_ERR_STATUS_CONNECTED;
        case PPP_CONN_ERR_CONNECTED_BUSY:
            return EB_ERR_STATUS_CONNECTED_BUSY;
        default:
            return EB_ERR_GENERAL_ERROR;
    }
}

void CLumoConnect::OnConnectHandler(void* context, PPP_CONN_ERR state) {
    DebugOutput("CLumoConnect::OnConnectHandler: ppp_err (%s)\n", lumolink::PppErrName(state));
    static_cast<CLumoConnect*>(context)->OnConnect(ConvertPppToEb(state));
}

void CLumoConnect::OnProgressHandler(void* context, CPPPTransfer* transfer) {
    auto* self = static_cast<CLumoConnect*>(context);
    self->SetLastError(ConvertPppToEb(transfer->GetPppError()));
    self->SetLastOsError(transfer->GetOsError());
    if (transfer->GetContext() != 0) self->OnProgress(static_cast<CLumoConnectTransfer*>(transfer));
}
