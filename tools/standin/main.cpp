// dsp-standin: simulated processors for trying the application by hand.
//
//   dsp-standin --pty --unit 24:1 --unit 20:2
//   dsp-standin --net 127.0.0.1 --unit 24:1
//
// Test tool, not part of the product.

#include "standin.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <csignal>
#include <cstdio>

namespace
{
bool parseunit(const QString &text, quint8 &type, quint8 &address)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() != 2)
        return false;
    bool ok1 = false, ok2 = false;
    const int t = parts[0].toInt(&ok1, 0);
    const int a = parts[1].toInt(&ok2, 0);
    if (!ok1 || !ok2 || (t != 24 && t != 22 && t != 20) || a < 0 || a > 255)
        return false;
    type = quint8(t);
    address = quint8(a);
    return true;
}
// Switches for replies that come at the wrong time: an acknowledgement kept
// back into the next request's wait, one that comes after the wait, a
// discovery answer after the search window, and the line dropped during the
// read-back of the current program.
QList<QCommandLineOption> timingoptions()
{
    return {
        QCommandLineOption(
            QStringLiteral("stale-duplicate"),
            QStringLiteral("Answer the first command <code> (hex) and keep a copy of the reply "
                           "back; the next command <code> is missed and gets that copy."),
            QStringLiteral("code")),
        QCommandLineOption(QStringLiteral("late-ack"),
                           QStringLiteral("Answer every command <code> (hex) <ms> milliseconds late."),
                           QStringLiteral("code:ms")),
        QCommandLineOption(QStringLiteral("late-discovery"),
                           QStringLiteral("Answer the discovery request <ms> milliseconds late."),
                           QStringLiteral("ms")),
        QCommandLineOption(QStringLiteral("drop-in-read"),
                           QStringLiteral("Drop the line during the reply to the first read of current "
                                          "program part <part> (0 to 25)."),
                           QStringLiteral("part")),
    };
}

// Adds the faults of the timing switches; false (with a message) for a bad value.
bool addtimingfaults(const QCommandLineParser &parser, standin::Standin &s, QTextStream &err)
{
    const auto code = [](const QString &text, bool *ok) {
        const int c = text.toInt(ok, 16);
        *ok = *ok && c > 0 && c < 0x100;
        return c;
    };
    bool ok = true;
    if (parser.isSet(QStringLiteral("stale-duplicate"))) {
        standin::Fault f;
        f.kind = standin::Fault::StaleDuplicate;
        f.command = code(parser.value(QStringLiteral("stale-duplicate")), &ok);
        f.times = 1;
        f.ignoreNext = true;
        if (!ok) {
            err << "dsp-standin: bad --stale-duplicate (expected a command code in hex, e.g. 54)\n";
            return false;
        }
        s.addfault(f);
    }
    if (parser.isSet(QStringLiteral("late-ack"))) {
        const QStringList parts = parser.value(QStringLiteral("late-ack")).split(QLatin1Char(':'));
        standin::Fault f;
        f.kind = standin::Fault::LateReply;
        bool msok = false;
        if (parts.size() == 2) {
            f.command = code(parts[0], &ok);
            f.delayMs = parts[1].toInt(&msok);
        }
        if (parts.size() != 2 || !ok || !msok || f.delayMs < 0) {
            err << "dsp-standin: bad --late-ack (expected code:ms, e.g. 10:6500)\n";
            return false;
        }
        s.addfault(f);
    }
    if (parser.isSet(QStringLiteral("late-discovery"))) {
        standin::Fault f;
        f.kind = standin::Fault::LateReply;
        f.command = standin::Fault::Discovery;
        f.delayMs = parser.value(QStringLiteral("late-discovery")).toInt(&ok);
        if (!ok || f.delayMs < 0) {
            err << "dsp-standin: bad --late-discovery (expected milliseconds, e.g. 1500)\n";
            return false;
        }
        s.addfault(f);
    }
    if (parser.isSet(QStringLiteral("drop-in-read"))) {
        standin::Fault f;
        f.kind = standin::Fault::DropLink;
        f.command = 0x61;
        f.program = 0;
        f.packet = parser.value(QStringLiteral("drop-in-read")).toInt(&ok);
        f.times = 1;
        if (!ok || f.packet < 0 || f.packet >= standin::kPacketCount) {
            err << "dsp-standin: bad --drop-in-read (expected a part 0 to 25)\n";
            return false;
        }
        s.addfault(f);
    }
    return true;
}

// Switches for bytes in front of every reply: another unit's reply to the
// same command, and a reply cut off in the middle.
QList<QCommandLineOption> frontoptions()
{
    return {
        QCommandLineOption(
            QStringLiteral("foreign-before"),
            QStringLiteral("Write a reply of the unit <type>:<address> (e.g. 22:5) in front of "
                           "every reply, with other data."),
            QStringLiteral("type:address")),
        QCommandLineOption(QStringLiteral("fragment-before"),
                           QStringLiteral("Write a cut-off reply (44 55 66 18 01 61 00 00 05 11 22) in front "
                                          "of every reply.")),
    };
}

bool addfrontfaults(const QCommandLineParser &parser, standin::Standin &s, QTextStream &err)
{
    if (parser.isSet(QStringLiteral("foreign-before"))) {
        standin::Fault f;
        f.kind = standin::Fault::ForeignBefore;
        if (!parseunit(parser.value(QStringLiteral("foreign-before")), f.foreignType, f.foreignAddress)) {
            err << "dsp-standin: bad --foreign-before (expected type:address, e.g. 22:5)\n";
            return false;
        }
        s.addfault(f);
    }
    if (parser.isSet(QStringLiteral("fragment-before")))
        s.addfault(standin::Fault::fragmentbefore());
    return true;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("dsp-standin"));
    std::signal(SIGINT, [](int) { QCoreApplication::quit(); });
    std::signal(SIGTERM, [](int) { QCoreApplication::quit(); });

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulated loudspeaker-management processors for trying the application by hand (a test tool)."));
    parser.addHelpOption();
    const QCommandLineOption ptyOpt(QStringLiteral("pty"),
                                    QStringLiteral("Open a pseudo-terminal and print its path."));
    const QCommandLineOption netOpt(
        QStringLiteral("net"),
        QStringLiteral("Serve TCP port 6000 and UDP discovery port 9999 on <address>."),
        QStringLiteral("address"));
    const QCommandLineOption unitOpt(
        QStringLiteral("unit"),
        QStringLiteral("A processor <type>:<address>, type 24, 22 or 20 (repeatable)."),
        QStringLiteral("type:address"));
    const QCommandLineOption paceOpt(QStringLiteral("pace"),
                                     QStringLiteral("Pace serial output like a 38400-baud line."));
    const QCommandLineOption quietOpt(QStringLiteral("quiet"), QStringLiteral("Do not log frames."));
    const QCommandLineOption echoOpt(
        QStringLiteral("other-echo"),
        QStringLiteral("Put another value than the program number in the first data byte of replies "
                       "0x60 to 0x63 and 0x66."));
    parser.addOptions({ptyOpt, netOpt, unitOpt, paceOpt, quietOpt, echoOpt});
    parser.addOptions(timingoptions());
    parser.addOptions(frontoptions());
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    if (!parser.isSet(ptyOpt) && !parser.isSet(netOpt)) {
        err << "dsp-standin: give --pty or --net <address>\n";
        return 2;
    }
    QVector<QPair<quint8, quint8>> units;
    for (const QString &u : parser.values(unitOpt)) {
        quint8 t = 0, a = 0;
        if (!parseunit(u, t, a)) {
            err << "dsp-standin: bad unit \"" << u << "\" (expected 24:1, 22:5, 20:32)\n";
            return 2;
        }
        units.append({t, a});
    }
    if (units.isEmpty())
        units.append({24, 1});

    standin::Standin s;
    s.setpacing(parser.isSet(paceOpt));
    if (parser.isSet(echoOpt)) {
        standin::Fault echo;
        echo.kind = standin::Fault::OtherEcho;
        s.addfault(echo);
    }
    if (!addtimingfaults(parser, s, err) || !addfrontfaults(parser, s, err))
        return 2;
    if (!parser.isSet(quietOpt))
        s.setlogger([](const standin::FrameRecord &r) {
            std::fprintf(stdout, "%s\n", qPrintable(standin::describe(r)));
            std::fflush(stdout);
        });
    QVector<int> lines;
    if (parser.isSet(ptyOpt)) {
        const int line = s.openpty();
        if (line < 0) {
            err << "dsp-standin: " << s.errorstring() << "\n";
            return 1;
        }
        lines << line;
        out << "serial line: " << s.ptypath(line) << "\n";
    }
    if (parser.isSet(netOpt)) {
        const QHostAddress address(parser.value(netOpt));
        if (address.isNull()) {
            err << "dsp-standin: bad address \"" << parser.value(netOpt) << "\"\n";
            return 2;
        }
        const int line = s.listen(address);
        if (line < 0) {
            err << "dsp-standin: " << s.errorstring() << "\n";
            return 1;
        }
        lines << line;
        out << "network: " << address.toString() << " TCP 6000, UDP 9999\n";
    }
    for (int line : lines)
        for (const auto &u : units) {
            s.addunit(line, u.first, u.second);
            out << "unit " << u.first << ":" << u.second << " on line " << line << "\n";
        }
    out.flush();
    return app.exec();
}
