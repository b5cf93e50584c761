#include "lumosim/Simulator.h"

#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <system_error>

namespace lumosim {
namespace {

// How long the loop sleeps while the host is not taking bytes off a full terminal.
constexpr std::chrono::milliseconds kFullLineWait{50};

ReaderSettings InitialSettings(const SimulatorOptions& options) {
    ReaderSettings settings;
    settings.identifier = options.identifier;
    settings.firmware = options.firmware;
    return settings;
}

SessionOptions SessionOptionsOf(const SimulatorOptions& options) {
    SessionOptions session;
    session.speeds = static_cast<uint8_t>(options.speeds);
    session.busyAfterFile = std::chrono::milliseconds(options.busyAfterFileMs);
    session.restartTime = std::chrono::milliseconds(options.restartTimeMs);
    session.abortAfter = options.abortAfter;
    session.badLengthProbability = options.badLength;
    session.nack = options.nack;
    session.shortIdentity = options.shortIdentity;
    return session;
}

}  // namespace

Simulator::Simulator(const SimulatorOptions& options)
    : options_(options),
      flash_(options.flash, options.flashSize),
      settings_(InitialSettings(options)),
      files_(flash_, settings_),
      faults_(options.drop, options.corrupt, options.seed),
      inbound_(options.pace),
      outbound_(options.pace),
      session_(
          settings_, files_, SessionOptionsOf(options), faults_,
          [this](std::span<const uint8_t> frame) { Queue(frame); },
          [this](const std::string& line) { Log(line); }),
      silent_(options.silent) {
    files_.SetRefused(options.refuse);
    files_.SetFirstHandle(static_cast<uint8_t>(options.firstHandle));
    if (!options.link.empty()) pty_.LinkAs(options.link);
    stopEvent_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (stopEvent_ < 0) throw std::system_error(errno, std::generic_category(), "eventfd");
}

Simulator::~Simulator() {
    Stop();
    if (thread_.joinable()) thread_.join();
    close(stopEvent_);
}

void Simulator::Start() {
    thread_ = std::thread([this] { Run(); });
    clockid_t clock;
    if (pthread_getcpuclockid(thread_.native_handle(), &clock) == 0) cpuClock_ = clock;
}

void Simulator::Stop() {
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(stopEvent_, &one, sizeof one);
}

void Simulator::SetAbortAfter(std::optional<uint64_t> bytes) {
    std::lock_guard lock(mutex_);
    session_.SetAbortAfter(bytes);
}

void Simulator::SetNack(NackMode mode) {
    std::lock_guard lock(mutex_);
    session_.SetNack(mode);
}

SessionStats Simulator::Session() const {
    std::lock_guard lock(mutex_);
    return session_.Stats();
}

LineStats Simulator::Line() const {
    std::lock_guard lock(mutex_);
    LineStats line = line_;
    line.dropped = faults_.Dropped();
    line.corrupted = faults_.Corrupted();
    return line;
}

ReaderSettings Simulator::Settings() const {
    std::lock_guard lock(mutex_);
    return settings_;
}

unsigned Simulator::LineSpeed() const {
    std::lock_guard lock(mutex_);
    return session_.LineSpeed();
}

std::chrono::nanoseconds Simulator::CpuTime() const {
    timespec used{};
    if (!cpuClock_ || clock_gettime(*cpuClock_, &used) != 0) return {};
    return std::chrono::seconds(used.tv_sec) + std::chrono::nanoseconds(used.tv_nsec);
}

void Simulator::Log(const std::string& line) const {
    if (options_.verbose) std::fprintf(stderr, "lumosim: %s\n", line.c_str());
}

bool Simulator::SpeedsDiffer() const {
    if (!options_.strictSpeed) return false;
    const auto host = pty_.HostSpeed();
    return host && *host != session_.LineSpeed();
}

void Simulator::Queue(std::span<const uint8_t> frame) {
    if (SpeedsDiffer()) {
        Log("answer lost: the host's port runs at another speed");
        return;
    }
    outbound_.SetSpeed(session_.LineSpeed());
    const auto now = Clock::now();
    for (uint8_t byte : frame) {
        if (faults_.Pass(byte)) sending_.push_back({outbound_.Arrival(now), byte});
    }
}

void Simulator::ReadLine(Clock::time_point now) {
    std::array<uint8_t, 4096> buffer;
    const ssize_t count = read(pty_.MasterFd(), buffer.data(), buffer.size());
    if (count <= 0) return;
    line_.bytesIn += static_cast<uint64_t>(count);
    if (silent_ || !session_.Listening(now) || SpeedsDiffer()) return;
    inbound_.SetSpeed(session_.LineSpeed());
    for (uint8_t byte : std::span(buffer.data(), static_cast<std::size_t>(count))) {
        if (faults_.Pass(byte)) received_.push_back({inbound_.Arrival(now), byte});
    }
}

void Simulator::FeedDue(Clock::time_point now) {
    while (!received_.empty() && received_.front().due <= now) {
        const uint8_t byte = received_.front().byte;
        received_.pop_front();
        const lumolink::FrameEvent event = receiver_.PutByte(byte);
        if (event == lumolink::FrameEvent::Packet) {
            session_.Handle(receiver_.Packet(), now);
        } else if (event != lumolink::FrameEvent::None && event != lumolink::FrameEvent::Empty) {
            ++line_.badFrames;
            session_.OnBadFrame(now);
        }
    }
}

void Simulator::WriteDue(Clock::time_point now) {
    std::array<uint8_t, 4096> buffer;
    while (!sending_.empty() && sending_.front().due <= now) {
        std::size_t count = 0;
        while (count < buffer.size() && count < sending_.size() && sending_[count].due <= now) {
            buffer[count] = sending_[count].byte;
            ++count;
        }
        const ssize_t written = write(pty_.MasterFd(), buffer.data(), count);
        if (written <= 0) return;  // the terminal is full: wait until it can take more
        sending_.erase(sending_.begin(), sending_.begin() + written);
        line_.bytesOut += static_cast<uint64_t>(written);
    }
}

std::optional<std::chrono::nanoseconds> Simulator::PollTimeout(Clock::time_point now) const {
    std::optional<Clock::time_point> next = session_.NextTimer();
    const auto consider = [&](const std::deque<TimedByte>& queue) {
        if (!queue.empty() && (!next || queue.front().due < *next)) next = queue.front().due;
    };
    consider(received_);
    consider(sending_);
    if (!next) return std::nullopt;
    return std::max(std::chrono::nanoseconds(0), *next - now);
}

void Simulator::Run() {
    Log("reader \"" + options_.firmware + "/" + options_.identifier + "\" on " + DevicePath());
    for (;;) {
        std::optional<std::chrono::nanoseconds> timeout;
        bool wantWrite;
        {
            std::lock_guard lock(mutex_);
            const auto now = Clock::now();
            FeedDue(now);
            session_.Tick(now);
            // Answers made just now are due at once when bytes are not paced.
            const auto later = Clock::now();
            WriteDue(later);
            wantWrite = !sending_.empty() && sending_.front().due <= later;
            timeout = wantWrite ? kFullLineWait : PollTimeout(later);
        }
        std::array<pollfd, 2> fds = {
            {{stopEvent_, POLLIN, 0},
             {pty_.MasterFd(), short(POLLIN | (wantWrite ? POLLOUT : 0)), 0}}};
        timespec wait{};
        if (timeout) {
            wait.tv_sec = static_cast<time_t>(timeout->count() / 1'000'000'000);
            wait.tv_nsec = static_cast<long>(timeout->count() % 1'000'000'000);
        }
        if (ppoll(fds.data(), fds.size(), timeout ? &wait : nullptr, nullptr) < 0 &&
            errno != EINTR) {
            throw std::system_error(errno, std::generic_category(), "ppoll");
        }
        if (fds[0].revents & POLLIN) return;
        if (fds[1].revents & POLLIN) {
            std::lock_guard lock(mutex_);
            ReadLine(Clock::now());
        }
    }
}

}  // namespace lumosim
