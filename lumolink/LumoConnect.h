#pragma once

// The program's way to the reader: one object per serial link. Every operation returns an
// EB_ERR_STATUS; nothing is thrown. OnConnect and OnProgress run on the link's own thread and
// must not call back into commands of this object.

#include <atomic>
#include <cstdint>
#include <memory>

#include "lumolink/EbErrStatus.h"
#include "lumolink/LumoCmd.h"
#include "lumolink/LumoConnectTransfer.h"
#include "lumolink/LumoFont.h"
#include "lumolink/LumoLinkExport.h"
#include "lumolink/LumoStatus.h"
#include "lumolink/PiString.h"
#include "lumolink/PppTypes.h"

class CPPPConn;
class CLumoConnectSettings;

class LUMOLINK_API CLumoConnect {
public:
    CLumoConnect();
    CLumoConnect(const CLumoConnect&) = delete;
    CLumoConnect& operator=(const CLumoConnect&) = delete;
    virtual ~CLumoConnect();

    // Opens the port and starts calling the reader; the link is up when OnConnect reports
    // EB_ERR_STATUS_CONNECTED. port: "COM1".."COM6" resolved by the caller, or a device path.
    virtual EB_ERR_STATUS Connect(const char* port, BAUD_BITS_MASK mask);
    virtual EB_ERR_STATUS Disconnect();

    int IsConnected();
    EB_ERR_STATUS GetEbConnectState();
    EB_ERR_STATUS GetLastEbError() const { return m_lastError.load(); }
    unsigned long GetLastOsError() const { return m_lastOsError.load(); }
    EB_ERR_STATUS GetVersionAndRemoteId(char* buffer, int length);
    EB_ERR_STATUS TransferFile(CLumoConnectTransfer* transfer);
    EB_ERR_STATUS CancelFileTransfer();
    EB_ERR_STATUS EnableLogging(const char* path);
    EB_ERR_STATUS DisableLogging();
    CLumoStatus* GetStatus() { return m_status.get(); }
    CLumoCmd* GetCmds() { return m_cmds.get(); }
    EB_ERR_STATUS GetPortName(tPI_STRING& name);
    EB_ERR_STATUS GetConnectedBaud(unsigned long baud);

    static const char* GetEbErrMsg(EB_ERR_STATUS status);

protected:
    virtual void OnConnect(EB_ERR_STATUS state);
    virtual void OnProgress(CLumoConnectTransfer* transfer);
    void SetLastError(EB_ERR_STATUS status) { m_lastError.store(status); }
    void SetLastOsError(unsigned long error) { m_lastOsError.store(error); }

private:
    friend class CLumoConnectTestAccess;

    static EB_ERR_STATUS ConvertPppToEb(PPP_CONN_ERR error);
    static void OnConnectHandler(void* context, PPP_CONN_ERR state);
    static void OnProgressHandler(void* context, CPPPTransfer* transfer);

    std::unique_ptr<CPPPConn> m_engine;
    std::unique_ptr<CLumoConnectSettings> m_settings;
    std::unique_ptr<CLumoStatus> m_status;
    std::unique_ptr<CLumoCmd> m_cmds;
    std::atomic<EB_ERR_STATUS> m_lastError{EB_ERR_SUCCESS};
    std::atomic<unsigned long> m_lastOsError{0};
};
