#include "SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

namespace {

constexpr int kConnectTimeoutMs = 500;
constexpr int kAnswerTimeoutMs = 2000;
constexpr int kRetryPauseMs = 200;

const QByteArray kRaiseRequest = "raise";
const QByteArray kOpenPrefix = "open\t";
const QByteArray kAnswer = "ok\n";

QByteArray requestFor(const QString& commandLineFile) {
    if (commandLineFile.isEmpty()) return kRaiseRequest + '\n';
    return kOpenPrefix + commandLineFile.toUtf8() + '\n';
}

}  // namespace

QString instanceKey(const QString& settingsPath) {
    const QByteArray where = QFileInfo(settingsPath).absoluteFilePath().toUtf8();
    const QByteArray digest = QCryptographicHash::hash(where, QCryptographicHash::Sha1).toHex();
    return QStringLiteral("lumoshelf-%1-%2")
        .arg(getuid())
        .arg(QString::fromLatin1(digest.left(16)));
}

QString absoluteCommandLinePath(const QString& argument, const QString& workingDirectory) {
    if (argument.isEmpty() || argument.contains(QStringLiteral("://"))) return argument;
    return QDir::cleanPath(QDir(workingDirectory).absoluteFilePath(argument));
}

SingleInstance::SingleInstance(QString key, QObject* parent) : QObject(parent) {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    socketPath_ = dir + '/' + key + ".socket";
    lockPath_ = dir + '/' + key + ".lock";
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) serve(socket);
    });
}

// The running instance removes its lock file on the way out; tryLock makes sure that a start
// which still holds the removed file does not take it for the lock.
SingleInstance::~SingleInstance() {
    server_.close();
    if (primary_) ::unlink(lockPath_.toLocal8Bit().constData());
    if (lockFd_ >= 0) ::close(lockFd_);
}

SingleInstance::Role SingleInstance::start(const QString& commandLineFile,
                                           std::chrono::milliseconds patience) {
    const QByteArray request = requestFor(commandLineFile);
    QDeadlineTimer deadline(patience);
    for (;;) {
        // Holding the lock means no instance is alive; a socket file left behind is stale.
        if (tryLock()) {
            primary_ = true;
            return listen() ? Role::Primary : Role::Unanswered;
        }
        if (handOver(request)) return Role::HandedOver;
        if (deadline.hasExpired()) return Role::Unanswered;
        QThread::msleep(kRetryPauseMs);
    }
}

bool SingleInstance::tryLock() {
    const QByteArray path = lockPath_.toLocal8Bit();
    if (lockFd_ < 0) lockFd_ = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd_ < 0 || ::flock(lockFd_, LOCK_EX | LOCK_NB) != 0) return false;
    // Locked; but if the file was removed meanwhile, the lock is on a file nobody else sees.
    struct stat held {
    }, named{};
    if (::fstat(lockFd_, &held) == 0 && ::stat(path.constData(), &named) == 0 &&
        held.st_dev == named.st_dev && held.st_ino == named.st_ino)
        return true;
    ::close(lockFd_);
    lockFd_ = -1;
    return false;
}

bool SingleInstance::listen() {
    QLocalServer::removeServer(socketPath_);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    return server_.listen(socketPath_);
}

bool SingleInstance::handOver(const QByteArray& request) {
    QLocalSocket socket;
    socket.connectToServer(socketPath_);
    if (!socket.waitForConnected(kConnectTimeoutMs)) return false;
    socket.write(request);
    if (!socket.waitForBytesWritten(kAnswerTimeoutMs)) return false;
    QByteArray answer;
    QDeadlineTimer deadline(kAnswerTimeoutMs);
    while (!answer.endsWith('\n') && !deadline.hasExpired()) {
        if (!socket.waitForReadyRead(int(deadline.remainingTime()))) break;
        answer += socket.readAll();
    }
    return answer == kAnswer;
}

void SingleInstance::serve(QLocalSocket* socket) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
        if (!socket->canReadLine()) return;
        const QByteArray line = socket->readLine().chopped(1);
        if (line == kRaiseRequest) {
            emit raiseRequested();
        } else if (line.startsWith(kOpenPrefix)) {
            emit fileReceived(QString::fromUtf8(line.mid(kOpenPrefix.size())));
        } else {
            socket->disconnectFromServer();
            return;
        }
        socket->write(kAnswer);
        socket->flush();
    });
}
