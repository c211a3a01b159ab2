#pragma once

// What the benchmarks count of this process's threads, as the kernel counts
// it (/proc/self/task): context switches, voluntary and forced, each time a
// thread went to sleep or was put off the processor. And the event loop run
// for a while, to let the threads work.

#include <QByteArray>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <unistd.h>

// Context switches so far of the thread whose /proc folder is taskDir.
inline qint64 switchesOf(const QString &taskDir)
{
    QFile status(taskDir + QStringLiteral("/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    qint64 total = 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.contains("ctxt_switches:"))
            total += line.mid(line.indexOf(':') + 1).trimmed().toLongLong();
    }
    return total;
}

// The /proc folders of this process's threads named name.
inline QStringList namedThreadDirs(const QByteArray &name)
{
    QStringList found;
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString &tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks.filePath(tid + QStringLiteral("/comm")));
        if (comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == name)
            found << tasks.filePath(tid);
    }
    return found;
}

// Context switches so far of this process's threads named name.
inline qint64 namedThreadSwitches(const QByteArray &name)
{
    qint64 total = 0;
    for (const QString &dir : namedThreadDirs(name))
        total += switchesOf(dir);
    return total;
}

inline int namedThreads(const QByteArray &name)
{
    return namedThreadDirs(name).size();
}

// The same for the main (GUI) thread.
inline qint64 guiThreadSwitches()
{
    return switchesOf(QStringLiteral("/proc/self/task/%1").arg(::getpid()));
}

inline void runEventsFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}
