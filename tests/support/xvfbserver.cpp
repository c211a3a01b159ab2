#include "xvfbserver.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
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

    const pid_t parent = getpid();
    m_pid = fork();
    if (m_pid == 0) {
        ::close(fds[0]);
        // The server ends with the test, even with a test that crashed; the
        // test may have ended before this line ran.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent)
            _exit(1);
        // The server's notes (displays already taken...) are no part of the
        // test's output, and it must not hold the test's output open.
        const int null = ::open("/dev/null", O_WRONLY);
        if (null >= 0) {
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
            ::close(null);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
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
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
    }
    m_pid = -1;
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
