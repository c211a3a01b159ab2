#pragma once

// A pseudo-terminal pair for serial tests: the test holds the master side and
// hands the slave path to the code under test as a serial port name. Bytes the
// code writes to the port arrive on the master; bytes written to the master
// arrive at the port. Every wait is bounded and keeps Qt events flowing.

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QString>
#include <QThread>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

class PtyPair
{
public:
    PtyPair()
    {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0)
            return;
        if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
            closeMaster();
            return;
        }
        const char *name = ::ptsname(m_master);
        if (!name) {
            closeMaster();
            return;
        }
        m_slavePath = QString::fromLocal8Bit(name);
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    }
    ~PtyPair() { closeMaster(); }
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    bool isValid() const { return m_master >= 0; }
    QString slavePath() const { return m_slavePath; }
    int masterFd() const { return m_master; }

    // The other end goes away: the port sees a hang-up.
    void closeMaster()
    {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

    // Everything the port has written so far, without waiting.
    QByteArray readAvailable()
    {
        QByteArray out;
        char buf[4096];
        while (m_master >= 0) {
            const ssize_t n = ::read(m_master, buf, sizeof buf);
            if (n <= 0)
                break;
            out.append(buf, int(n));
        }
        return out;
    }

    // Reads until at least count bytes arrived (or they end with tail) or limitMs passed.
    QByteArray readAtLeast(int count, int limitMs = 5000, const QByteArray &tail = QByteArray())
    {
        QByteArray out;
        QDeadlineTimer deadline(limitMs);
        while ((tail.isEmpty() ? out.size() < count : !out.endsWith(tail)) && !deadline.hasExpired()) {
            QCoreApplication::processEvents();
            const QByteArray part = readAvailable();
            if (part.isEmpty())
                QThread::msleep(1);
            out += part;
        }
        return out;
    }
    QByteArray readUntilEndsWith(const QByteArray &tail, int limitMs = 5000) { return readAtLeast(0, limitMs, tail); }

    bool write(const QByteArray &bytes)
    {
        return m_master >= 0 && ::write(m_master, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }

    // The line settings the slave side currently has.
    bool lineSettings(termios &settings) const
    {
        return m_master >= 0 && ::tcgetattr(m_master, &settings) == 0;
    }

private:
    int m_master = -1;
    QString m_slavePath;
};

// Write system calls this process made so far (Linux), or -1.
inline qint64 processWriteCalls()
{
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> lines = io.readAll().split('\n');
    for (const QByteArray &line : lines) {
        if (line.startsWith("syscw:"))
            return line.mid(6).trimmed().toLongLong();
    }
    return -1;
}
