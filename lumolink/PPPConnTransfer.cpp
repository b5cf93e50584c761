// File transfers of the link engine: create/write/close to send, open/read/close to receive,
// one chunk outstanding at a time.

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>

#include "lumolink/PPPConn.h"

using namespace lumolink;

namespace {

constexpr size_t kCreateNameSize = 64;
constexpr size_t kRoundTo = 512;
constexpr uint32_t kRoundBelowHandle = 12;

void PutBigEndian32(uint8_t* out, uint32_t value) {
    out[0] = static_cast<uint8_t>(value >> 24);
    out[1] = static_cast<uint8_t>(value >> 16);
    out[2] = static_cast<uint8_t>(value >> 8);
    out[3] = static_cast<uint8_t>(value);
}

uint32_t GetLittleEndian32(const uint8_t* in) {
    return uint32_t{in[0]} | uint32_t{in[1]} << 8 | uint32_t{in[2]} << 16 | uint32_t{in[3]} << 24;
}

// A receive goes into a file beside its target, which replaces the target only when the whole
// file has arrived.
std::string ReceiveTempPattern(const std::string& target) {
    const std::filesystem::path path(target);
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    return (folder / ("." + path.filename().string() + ".partXXXXXX")).string();
}

mode_t ModeForReplacing(const std::string& target) {
    struct stat existing {};
    if (stat(target.c_str(), &existing) == 0) return existing.st_mode & 07777;
    return 0644;
}

}  // namespace

bool CPPPConn::UseAltOpen(const char* identity) {
    const char letter = identity[8];
    const char* minorFrom = letter == 'R' ? "061" : letter == 'T' ? "165" : nullptr;
    if (minorFrom == nullptr) return false;
    const int major = std::strncmp(identity, "001", 3);
    return major > 0 || (major == 0 && std::strncmp(identity + 4, minorFrom, 3) >= 0);
}

bool CPPPConn::UseAltOpen() const {
    std::lock_guard lock(m_identityMutex);
    return UseAltOpen(m_remoteId.data());
}

PPP_CONN_ERR CPPPConn::InitiateSendFile(CPPPTransfer* transfer) {
    m_log.Printf("InitiateSendFile (%s --> %s)\n", transfer->localName, transfer->remoteName);
    m_transfer = transfer;
    transfer->direction = PPP_CONN_XFER_DIR_SEND;
    transfer->flags = 0;
    transfer->pppError = PPP_CONN_ERR_SUCCESS;
    transfer->osError = 0;
    CloseLocalFile();
    m_localFile = std::fopen(transfer->localName, "rb");
    if (m_localFile == nullptr) {
        m_lastOsError.store(static_cast<unsigned long>(errno));
        return PPP_CONN_ERR_LOCAL_FILE_OPEN;
    }
    std::fseek(m_localFile, 0, SEEK_END);
    const long size = std::ftell(m_localFile);
    std::fseek(m_localFile, 0, SEEK_SET);
    if (size < 0 || size > INT32_MAX) {
        CloseLocalFile();
        return PPP_CONN_ERR_LOCAL_FILE_OPEN;
    }
    transfer->total = static_cast<int32_t>(size);
    transfer->done = 0;
    m_lastChunkLength = 0;
    m_lastChunkData = 0;
    m_fileHandle = static_cast<uint32_t>(transfer->fileType);

    std::array<uint8_t, kCreateNameSize + 4> create{};
    std::memcpy(create.data(), transfer->remoteName,
                std::min(std::strlen(transfer->remoteName), kCreateNameSize));
    PutBigEndian32(create.data() + kCreateNameSize, static_cast<uint32_t>(transfer->total));
    SendPacket(LUMI_FCREATE, static_cast<uint8_t>(transfer->fileType & 0xFF), create);
    ChangeState(LUMS_FOPEN);
    return PPP_CONN_ERR_SUCCESS;
}

PPP_CONN_ERR CPPPConn::ContinueSendFile() {
    const PacketView packet = m_receiver.Packet();
    m_fileHandle = packet.parameter();
    if (m_fileHandle == 0) {
        m_log.Printf("ERR:ContinueSendFile(1)\n");
        return PPP_CONN_ERR_REMOTE_FILE_OPEN;
    }
    switch (packet.length()) {
        case 13:
            break;
        case 5:
            m_log.Printf("ContinueSendFile::sending ram.lff - continuing...\n");
            break;
        case 9:
            m_log.Printf("ContinueSendFile::suspected old firmware - continuing...\n");
            break;
        default:
            m_log.Printf("ERR:ContinueSendFile(2) - len=%d, Expected %d\n", packet.length(), 13);
            return PPP_CONN_ERR_REMOTE_FILE_OPEN;
    }
    m_log.Printf("Got handle response. File = 0x%x. size = 0x%x\n", m_fileHandle,
                 static_cast<unsigned>(m_transfer->total));
    return SendNextChunk();
}

PPP_CONN_ERR CPPPConn::SendNextChunk() {
    const int32_t left = std::min<int32_t>(m_transfer->total - m_transfer->done, kChunkSize);
    std::clearerr(m_localFile);
    const size_t read =
        left > 0 ? std::fread(m_chunk.data(), 1, static_cast<size_t>(left), m_localFile) : 0;
    if (read == 0 || std::ferror(m_localFile)) {
        if (std::ferror(m_localFile)) m_lastOsError.store(static_cast<unsigned long>(errno));
        return PPP_CONN_ERR_EOF_ON_SEND;
    }
    size_t onWire = read;
    if (read < kChunkSize && m_fileHandle < kRoundBelowHandle) {
        // The reader takes short chunks in whole 512-byte blocks; the padding is zeros, never
        // stale bytes of an earlier chunk, and only the bytes read count as done.
        onWire = std::min<size_t>((read + kRoundTo - 1) / kRoundTo * kRoundTo, kChunkSize);
        std::fill(m_chunk.begin() + static_cast<long>(read),
                  m_chunk.begin() + static_cast<long>(onWire), 0);
    }
    SendPacket(LUMI_FWRITE, static_cast<uint8_t>(m_fileHandle), {m_chunk.data(), onWire});
    m_lastChunkLength = static_cast<int>(onWire);
    m_lastChunkData = static_cast<int>(read);
    return PPP_CONN_ERR_SUCCESS;
}

void CPPPConn::HandleWriteAck() {
    const PacketView packet = m_receiver.Packet();
    const unsigned length = packet.length();
    if (length == 9 && packet.data()[0] != LastSequenceSent()) {
        m_log.Printf("File ack doesn't match, expected %x, Got %x\n", LastSequenceSent(),
                     packet.data()[0]);
        return;
    }
    if (length != 9 && length != 5) {
        m_log.Printf("Invalid length ack packet, len = %d\n", length);
        return;
    }
    m_transfer->done += m_lastChunkData;
    NotifyProgress();
    if (m_transfer->done >= m_transfer->total) {
        SendPacket(LUMI_FCLOSE, static_cast<uint8_t>(m_fileHandle));
        ChangeState(LUMS_FCLOSE);
        return;
    }
    const PPP_CONN_ERR next = SendNextChunk();
    if (next != PPP_CONN_ERR_SUCCESS) {
        m_result = next;
        CompleteCommandInProgress();
        ChangeState(LUMS_OPEN);
    }
}

PPP_CONN_ERR CPPPConn::InitiateReceiveFile(CPPPTransfer* transfer) {
    m_log.Printf("InitiateReceiveFile(%s <-- %s)\n", transfer->localName, transfer->remoteName);
    m_transfer = transfer;
    transfer->direction = PPP_CONN_XFER_DIR_RECEIVE;
    transfer->flags = 0;
    transfer->pppError = PPP_CONN_ERR_SUCCESS;
    transfer->osError = 0;
    CloseLocalFile();
    std::string temp = ReceiveTempPattern(transfer->localName);
    const int fd = mkstemp(temp.data());
    if (fd < 0) {
        m_lastOsError.store(static_cast<unsigned long>(errno));
        return PPP_CONN_ERR_LOCAL_FILE_OPEN;
    }
    fchmod(fd, ModeForReplacing(transfer->localName));
    m_localFile = fdopen(fd, "wb");
    if (m_localFile == nullptr) {
        m_lastOsError.store(static_cast<unsigned long>(errno));
        close(fd);
        unlink(temp.c_str());
        return PPP_CONN_ERR_LOCAL_FILE_OPEN;
    }
    m_receiveTempPath = temp;
    transfer->total = 0;
    transfer->done = 0;

    const size_t nameLength = std::strlen(transfer->remoteName);
    SendPacket(UseAltOpen() ? LUMI_FOPEN_ALT : LUMI_FOPEN, 0,
               {reinterpret_cast<const uint8_t*>(transfer->remoteName), nameLength + 1});
    ChangeState(LUMS_FOPEN);
    return PPP_CONN_ERR_SUCCESS;
}

PPP_CONN_ERR CPPPConn::ContinueReceiveFile() {
    const PacketView packet = m_receiver.Packet();
    m_fileHandle = packet.parameter();
    if (m_fileHandle == 0) {
        m_log.Printf("ContinueReceiveFile(1)\n");
        return PPP_CONN_ERR_REMOTE_FILE_OPEN;
    }
    if (packet.length() != 13) {
        m_log.Printf("ERR:ContinueReceiveFile(2) - len=%d, Expected %d\n", packet.length(), 13);
        return PPP_CONN_ERR_REMOTE_FILE_OPEN;
    }
    m_transfer->total = static_cast<int32_t>(GetLittleEndian32(packet.data().data() + 4));
    m_transfer->done = 0;
    m_log.Printf("Got handle response. File = 0x%x. size = 0x%x\n", m_fileHandle,
                 static_cast<unsigned>(m_transfer->total));
    SendPacket(LUMI_FREAD, static_cast<uint8_t>(m_fileHandle));
    return PPP_CONN_ERR_SUCCESS;
}

void CPPPConn::HandleReadData() {
    const PacketView packet = m_receiver.Packet();
    // Without its sequence byte the packet carries nothing to check or store.
    if (packet.length() < 6) return;
    const auto data = packet.data();
    const size_t n = data.size() - 1;
    m_log.Printf("code=0x%x, param=0x%x, l=0x%x, ack=0x%x\n", packet.code(), packet.parameter(),
                 packet.length(), data[0]);
    if (data[0] != LastSequenceSent()) {
        m_log.Printf("File read doesn't match, expected %x, Got %x\n", LastSequenceSent(), data[0]);
        return;
    }
    m_transfer->done += static_cast<int32_t>(n);
    if (std::fwrite(data.data() + 1, 1, n, m_localFile) != n || std::fflush(m_localFile) != 0) {
        // A full disk must not pass for a complete file: stop the reader and fail.
        m_lastOsError.store(static_cast<unsigned long>(errno));
        m_result = PPP_CONN_ERR_LOCAL_FILE_OPEN;
        SendPacket(LUMI_FCANCEL, static_cast<uint8_t>(m_fileHandle));
        ChangeState(LUMS_FCANCEL);
        CompleteCommandInProgress();
        return;
    }
    if (n == kChunkSize) {
        SendPacket(LUMI_FREAD, static_cast<uint8_t>(m_fileHandle));
    } else {
        SendPacket(LUMI_FCLOSE, static_cast<uint8_t>(m_fileHandle));
        ChangeState(LUMS_FCLOSE);
    }
    NotifyProgress();
}

void CPPPConn::CloseLocalFile() {
    if (m_localFile != nullptr) std::fclose(m_localFile);
    m_localFile = nullptr;
    if (!m_receiveTempPath.empty()) unlink(m_receiveTempPath.c_str());
    m_receiveTempPath.clear();
}

void CPPPConn::FinishLocalFile() {
    if (m_localFile == nullptr || m_receiveTempPath.empty()) {
        CloseLocalFile();
        return;
    }
    if (m_result == PPP_CONN_ERR_SUCCESS) {
        const bool written = std::fflush(m_localFile) == 0 && fsync(fileno(m_localFile)) == 0;
        const bool closed = std::fclose(m_localFile) == 0;
        m_localFile = nullptr;
        if (written && closed &&
            std::rename(m_receiveTempPath.c_str(), m_transfer->localName) == 0) {
            m_receiveTempPath.clear();
            return;
        }
        m_lastOsError.store(static_cast<unsigned long>(errno));
        m_result = PPP_CONN_ERR_LOCAL_FILE_OPEN;
    }
    CloseLocalFile();
}

void CPPPConn::CompleteCommandInProgress() {
    m_log.Printf("CPPPConn::CompleteCommandInProgress: %d\n", m_transferInProgress ? 1 : 0);
    if (!m_transferInProgress) return;
    FinishLocalFile();
    m_transfer->flags |= PPP_XFER_FLAG_ENDED;
    NotifyProgress();
    m_transferInProgress = false;
    ReleaseCaller();
}

void CPPPConn::NotifyProgress() {
    if (m_progCallback == nullptr) return;
    m_transfer->pppError = m_result;
    m_transfer->osError = static_cast<uint32_t>(m_lastOsError.load());
    m_progCallback(m_progContext, m_transfer);
}
