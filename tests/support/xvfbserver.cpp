#include "xvfbserver.h"

#include "quietchild.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTest>

#include <cstdio>
#include <poll.h>
#include <unistd.h>

#include <vector>

bool XvfbServer::start(QString *why, const char *screen, const QStringList &extra)
{
    QString ignored;
    if (!why)
        why = &ignored;
    stop();
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty()) {
        *why = QStringLiteral("Xvfb is not installed (package xvfb)");
        return false;
    }
    int fds[2];
    if (pipe(fds) != 0) {
        *why = QStringLiteral("no pipe for Xvfb's display number");
        return false;
    }
    // -displayfd: the server takes the first free display number and writes
    // it on the pipe once it accepts connections.
    QList<QByteArray> args{xvfb.toLocal8Bit(), "-displayfd", QByteArray::number(fds[1]), "-screen", "0",
                           screen, "-nolisten", "tcp"};
    for (const QString &a : extra)
        args << a.toLocal8Bit();
    std::vector<char *> argv;
    for (QByteArray &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    const int readend = fds[0];
    m_pid = quietchild::start(argv.data(), [readend] { ::close(readend); });
    ::close(fds[1]);
    if (m_pid < 0) {
        ::close(fds[0]);
        *why = QStringLiteral("cannot fork for Xvfb");
        return false;
    }
    QByteArray number;
    pollfd p{fds[0], POLLIN, 0};
    char c = 0;
    while (poll(&p, 1, 20000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
        number.append(c);
    ::close(fds[0]);
    number = number.trimmed();
    if (number.isEmpty()) {
        stop();
        *why = QStringLiteral("Xvfb gave no display number");
        return false;
    }
    m_display = ':' + number;
    return true;
}

void XvfbServer::stop()
{
    quietchild::stop(m_pid);
    m_display.clear();
}

int XvfbServer::unavailable(const QString &why)
{
    if (qEnvironmentVariableIsSet("CI")) {
        std::printf("FAIL!  : no X server under CI: %s\n", qPrintable(why));
        std::fflush(stdout);
        return 1;
    }
    std::printf("SKIP   : no X server: %s\n", qPrintable(why));
    std::fflush(stdout);
    return kSkipCode;
}

int XvfbServer::runtest(int argc, char **argv, const MakeTest &make, const char *screen, const QStringList &extra)
{
    XvfbServer server;
    QString why;
    if (!server.start(&why, screen, extra))
        return unavailable(why);
    qputenv("DISPLAY", server.display());
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    const std::unique_ptr<QObject> test = make(server.display());
    return QTest::qExec(test.get(), argc, argv);
}
