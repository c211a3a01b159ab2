#pragma once

// An X server of a test's own: Xvfb on the first display no other server
// uses, quiet, ended with the test however the test ends (a crash or a ctest
// timeout included). No Xlib here: a test talks to the server on its own.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <sys/types.h>

#include <functional>
#include <memory>
#include <type_traits>

class QObject;

class XvfbServer
{
public:
    XvfbServer() = default;
    ~XvfbServer() { stop(); }
    XvfbServer(const XvfbServer &) = delete;
    XvfbServer &operator=(const XvfbServer &) = delete;

    // Starts Xvfb with one screen of `screen` (width x height x depth) and
    // the `extra` arguments, and waits until it accepts clients. False when
    // Xvfb is not installed or did not start; *why then says which.
    bool start(QString *why, const char *screen = "1280x1024x24", const QStringList &extra = {});
    // Ends the server; nothing when none runs.
    void stop();
    // ":N" while the server runs, else empty.
    QByteArray display() const { return m_display; }

    // What a test does when no X server starts: on a developer's machine it
    // skips, visibly (kSkipCode, ctest's SKIP_RETURN_CODE for every test
    // registered with dsp_xserver_tests); with CI set in the environment it
    // fails, so that an X server test never passes without having looked.
    // Prints why and returns the test's exit code.
    static constexpr int kSkipCode = 77;
    static int unavailable(const QString &why);

    // True when a case may skip for want of an X tool (xdotool): never under CI.
    static bool mayskip() { return !qEnvironmentVariableIsSet("CI"); }

    // A test program's main on an X server of its own: starts the server
    // (or returns unavailable), names it in DISPLAY with the xcb platform,
    // makes the application object, then the test object (given the
    // server's display when its constructor takes one) and runs it. The
    // server outlives both.
    template <class Test>
    static int runtest(int argc, char **argv, const char *screen = "1280x1024x24", const QStringList &extra = {})
    {
        return runtest(
            argc, argv,
            [](const QByteArray &display) -> std::unique_ptr<QObject> {
                if constexpr (std::is_constructible<Test, QByteArray>::value)
                    return std::make_unique<Test>(display);
                else
                    return std::make_unique<Test>();
            },
            screen, extra);
    }
    using MakeTest = std::function<std::unique_ptr<QObject>(const QByteArray &display)>;
    static int runtest(int argc, char **argv, const MakeTest &make, const char *screen, const QStringList &extra);

private:
    pid_t m_pid = -1;
    QByteArray m_display;
};
