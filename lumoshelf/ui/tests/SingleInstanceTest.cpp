#include "ui/SingleInstance.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QUuid>
#include <cstring>

using namespace std::chrono_literals;

namespace {

QCoreApplication& app() {
    static int argc = 1;
    static char name[] = "single-instance-tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication instance(argc, argv);
    return instance;
}

// A key of its own per test; its lock file is removed when the test program ends.
QString freshKey() {
    static QStringList lockFiles;
    static const struct Cleanup {
        ~Cleanup() {
            for (const QString& path : lockFiles) QFile::remove(path);
        }
    } cleanup;
    const QString key = "lumoshelf-test-" + QUuid::createUuid().toString(QUuid::WithoutBraces);
    lockFiles << SingleInstance(key).lockPath();
    return key;
}

// Runs a second start in its own process while this process serves as the running instance.
QString runSecondStart(const QString& key, int patienceMs, const QStringList& file = {},
                       const QString& workingDirectory = {}) {
    QProcess probe;
    if (!workingDirectory.isEmpty()) probe.setWorkingDirectory(workingDirectory);
    probe.start(INSTANCE_PROBE, QStringList{key, QString::number(patienceMs)} + file);
    QEventLoop loop;
    QObject::connect(&probe, &QProcess::finished, &loop, &QEventLoop::quit);
    if (probe.state() != QProcess::NotRunning) loop.exec();
    return QString::fromUtf8(probe.readAllStandardOutput()).trimmed();
}

// What a crashed instance leaves behind: a bound socket file that nobody listens on.
void leaveDeadSocket(const QString& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.toLocal8Bit().constData(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
}

}  // namespace

TEST(SingleInstance, SecondStartHandsItsFileOverAsAnAbsolutePath) {
    app();
    const QString key = freshKey();
    SingleInstance running(key);
    ASSERT_EQ(running.start({}, 0ms), SingleInstance::Role::Primary);
    QStringList received;
    QObject::connect(&running, &SingleInstance::fileReceived,
                     [&](const QString& path) { received << path; });

    QTemporaryDir elsewhere;
    EXPECT_EQ(runSecondStart(key, 3000, {"new/../book.lx"}, elsewhere.path()), "handed-over");
    EXPECT_EQ(received, QStringList{elsewhere.path() + "/book.lx"});
}

TEST(SingleInstance, SecondStartWithoutFileRaisesTheRunningWindow) {
    app();
    const QString key = freshKey();
    SingleInstance running(key);
    ASSERT_EQ(running.start({}, 0ms), SingleInstance::Role::Primary);
    int raised = 0;
    QObject::connect(&running, &SingleInstance::raiseRequested, [&] { ++raised; });

    EXPECT_EQ(runSecondStart(key, 3000), "handed-over");
    EXPECT_EQ(raised, 1);
}

TEST(SingleInstance, SocketLeftByACrashedInstanceDoesNotBlockTheNextStart) {
    app();
    SingleInstance next(freshKey());
    leaveDeadSocket(next.socketPath());
    EXPECT_EQ(next.start({}, 0ms), SingleInstance::Role::Primary);
}

TEST(SingleInstance, EndedInstanceFreesTheNameForTheNextStart) {
    app();
    const QString key = freshKey();
    QString lockPath;
    {
        SingleInstance first(key);
        ASSERT_EQ(first.start({}, 0ms), SingleInstance::Role::Primary);
        lockPath = first.lockPath();
        EXPECT_TRUE(QFile::exists(lockPath));
    }
    EXPECT_FALSE(QFile::exists(lockPath));
    EXPECT_EQ(runSecondStart(key, 0), "primary");
}

TEST(SingleInstance, HandOverToAnInstanceThatNeverAnswersRetriesThenGivesUp) {
    app();
    const QString key = freshKey();
    SingleInstance probe(key);
    // A running instance that holds the lock but is not listening yet (still starting, or hung).
    const int fd = ::open(probe.lockPath().toLocal8Bit().constData(), O_RDWR | O_CREAT, 0600);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);

    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(runSecondStart(key, 1200, {"/tmp/book.lx"}), "unanswered");
    EXPECT_GE(clock.elapsed(), 1200);
    ::close(fd);
}

TEST(SingleInstance, KeyIsPerSettingsFile) {
    EXPECT_EQ(instanceKey("/a/settings.ini"), instanceKey("/a/../a/settings.ini"));
    EXPECT_NE(instanceKey("/a/settings.ini"), instanceKey("/b/settings.ini"));
    EXPECT_TRUE(instanceKey("/a/settings.ini").contains(QString::number(getuid())));
}
