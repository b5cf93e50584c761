#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <chrono>

// One running lumoshelf per user and settings file. The first start holds an flock on a lock file
// for its whole run (the kernel drops it when the process dies, so a crash never leaves a stale
// "already running") and listens on a local socket; later starts hand their file, or a request to
// come to the front, to it over that socket and wait for its answer.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Role {
        Primary,     // this process is the running instance
        HandedOver,  // the running instance took the request; this process ends
        Unanswered,  // another instance holds the lock but did not take the request in time
    };

    // key names the instance; see instanceKey.
    explicit SingleInstance(QString key, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Becomes the running instance or hands commandLineFile (empty: "come to the front") to it,
    // retrying for up to patience while the running instance is not yet listening.
    Role start(const QString& commandLineFile, std::chrono::milliseconds patience);

    QString socketPath() const { return socketPath_; }
    QString lockPath() const { return lockPath_; }

signals:
    void fileReceived(const QString& path);
    void raiseRequested();

private:
    bool tryLock();
    bool listen();
    bool handOver(const QByteArray& request);
    void serve(class QLocalSocket* socket);

    QString socketPath_;
    QString lockPath_;
    int lockFd_ = -1;
    bool primary_ = false;
    QLocalServer server_;
};

// A per-user instance name that also depends on the settings file in use, so that a demo library
// with its own settings runs beside the user's own library.
QString instanceKey(const QString& settingsPath);

// A path named on the command line, made absolute against the directory the start was made in:
// the running instance has a working directory of its own. Web and file URLs pass unchanged.
QString absoluteCommandLinePath(const QString& argument, const QString& workingDirectory);
