#pragma once

// A link engine connected to a scripted reader over a pseudo-terminal, with every state report
// and progress report recorded.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "ScriptedReader.h"
#include "lumolink/PPPConn.h"

namespace lumolink::testing {

struct ProgressReport {
    int32_t done;
    int32_t total;
    uint32_t flags;
    PPP_CONN_ERR pppError;
};

inline bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 10000) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine = std::make_unique<CPPPConn>();
        engine->RegisterConnectionCallback(&EngineTest::RecordState, this);
        engine->RegisterProgressCallback(&EngineTest::RecordProgress, this);
    }

    void TearDown() override { engine.reset(); }

    void ConnectAndOpen(uint8_t chosenSpeedBit = BAUD_BITS_115200) {
        ASSERT_EQ(engine->Connect(reader.DevicePath().c_str(), BAUD_BITS_ALL),
                  PPP_CONN_ERR_SUCCESS);
        ASSERT_TRUE(reader.AnswerConnect(chosenSpeedBit));
        ASSERT_TRUE(WaitUntil([&] { return engine->GetConnState() == PPP_CONN_ERR_CONNECTED; }));
    }

    std::future<PPP_CONN_ERR> StartTransfer(CPPPTransfer& transfer) {
        return std::async(std::launch::async, [&] { return engine->TransferFile(&transfer); });
    }

    std::vector<PPP_CONN_ERR> States() {
        std::lock_guard lock(mutex);
        return states;
    }
    std::vector<ProgressReport> Reports() {
        std::lock_guard lock(mutex);
        return reports;
    }

    static void RecordState(void* context, PPP_CONN_ERR state) {
        auto* self = static_cast<EngineTest*>(context);
        std::lock_guard lock(self->mutex);
        self->states.push_back(state);
    }
    static void RecordProgress(void* context, CPPPTransfer* transfer) {
        auto* self = static_cast<EngineTest*>(context);
        std::lock_guard lock(self->mutex);
        self->reports.push_back(
            {transfer->done, transfer->total, transfer->flags, transfer->pppError});
    }

    ScriptedReader reader;
    std::unique_ptr<CPPPConn> engine;
    std::mutex mutex;
    std::vector<PPP_CONN_ERR> states;
    std::vector<ProgressReport> reports;
};

// An answer to a write or a read: the acknowledged sequence number and three more bytes.
inline Bytes AckFor(uint8_t sequence) { return {sequence, 0, 0, 0}; }

// The data of a handle answer to an open: four bytes, then the size little-endian.
inline Bytes HandleData(uint32_t size) {
    return {0,
            0,
            0,
            0,
            static_cast<uint8_t>(size),
            static_cast<uint8_t>(size >> 8),
            static_cast<uint8_t>(size >> 16),
            static_cast<uint8_t>(size >> 24)};
}

}  // namespace lumolink::testing
