#include "xserver.h"

#include <QByteArray>
#include <QStandardPaths>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace xserver
{
namespace
{
pid_t gServer = -1;
Display *gInput = nullptr;

Display *input()
{
    if (!gInput)
        gInput = XOpenDisplay(nullptr);
    return gInput;
}
} // namespace

QString start(QString *why)
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty()) {
        *why = QStringLiteral("Xvfb is not installed");
        return QString();
    }
    int fds[2];
    if (pipe(fds) != 0) {
        *why = QStringLiteral("no pipe");
        return QString();
    }
    const QByteArray path = xvfb.toLocal8Bit();
    const QByteArray fd = QByteArray::number(fds[1]);
    gServer = fork();
    if (gServer == 0) {
        close(fds[0]);
        // The server's messages would only clutter the test log.
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0) {
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
        }
        execl(path.constData(), "Xvfb", "-displayfd", fd.constData(), "-screen", "0", "1024x768x24",
              "-nolisten", "tcp", "-noreset", static_cast<char *>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    if (gServer < 0) {
        close(fds[0]);
        *why = QStringLiteral("no fork");
        return QString();
    }
    // The server writes its display number once it accepts connections.
    QByteArray number;
    pollfd p{fds[0], POLLIN, 0};
    while (poll(&p, 1, 20000) > 0) {
        char buf[16];
        const ssize_t n = read(fds[0], buf, sizeof buf);
        if (n <= 0)
            break;
        number.append(buf, int(n));
        if (number.contains('\n'))
            break;
    }
    close(fds[0]);
    number = number.trimmed();
    if (number.isEmpty()) {
        stop();
        *why = QStringLiteral("Xvfb did not start");
        return QString();
    }
    return QStringLiteral(":") + QString::fromLatin1(number);
}

void stop()
{
    if (gInput) {
        XCloseDisplay(gInput);
        gInput = nullptr;
    }
    if (gServer > 0) {
        kill(gServer, SIGTERM);
        waitpid(gServer, nullptr, 0);
        gServer = -1;
    }
}

bool move(QPoint global)
{
    Display *d = input();
    if (!d)
        return false;
    XTestFakeMotionEvent(d, -1, global.x(), global.y(), CurrentTime);
    XSync(d, False);
    return true;
}

bool click(QPoint global)
{
    Display *d = input();
    if (!d || !move(global))
        return false;
    XTestFakeButtonEvent(d, 1, True, CurrentTime);
    XTestFakeButtonEvent(d, 1, False, CurrentTime);
    XSync(d, False);
    return true;
}
} // namespace xserver
