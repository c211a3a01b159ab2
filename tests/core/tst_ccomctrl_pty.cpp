// The protocol engine over real pseudo-terminals: port search through the
// port-list override, opening with the fixed line settings, frames out and
// replies in.
#include "ccomctrl.h"
#include "comsettings.h"
#include "myserialport.h"
#include "ptypair.h"
#include "tst_ccomctrl_replies.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>
#include <vector>

using namespace replies;

namespace
{

// A pseudo-terminal whose slave side was never unlocked: it is listed, but
// opening it fails, as with a port another program holds.
class LockedPty
{
public:
    LockedPty()
    {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master >= 0 && ::grantpt(m_master) == 0) {
            if (const char *name = ::ptsname(m_master))
                m_path = QString::fromLocal8Bit(name);
        }
    }
    ~LockedPty()
    {
        if (m_master >= 0)
            ::close(m_master);
    }
    QString path() const { return m_path; }

private:
    int m_master = -1;
    QString m_path;
};

void fixedsettings()
{
    gComSettings.setsettings(ComSettings::FixedBaud, ComSettings::FixedDataBits, ComSettings::FixedParity,
                             ComSettings::FixedStopBits, ComSettings::FixedFlowControl,
                             ComSettings::FixedTimeout);
}

} // namespace

class TestCComCtrlPty : public QObject
{
    Q_OBJECT
private slots:
    void init() { fixedsettings(); }

    // Port kinds in list order: o opens, l is a locked pseudo-terminal, m is a
    // path that does not exist. found: the indices findfirstcom and then each
    // findnextcom return, ending with "nocom" / "endcom" (-1).
    void portSearch_data()
    {
        QTest::addColumn<QString>("kinds");
        QTest::addColumn<QList<int>>("found");
        QTest::newRow("first locked") << "loo" << QList<int>{1, 2, -1};
        QTest::newRow("busy ones in the middle") << "olmo" << QList<int>{0, 3, -1};
        QTest::newRow("none opens") << "lm" << QList<int>{-1};
        QTest::newRow("empty list") << "" << QList<int>{-1};
    }
    void portSearch()
    {
        QFETCH(QString, kinds);
        QFETCH(QList<int>, found);
        std::vector<std::unique_ptr<PtyPair>> open;
        std::vector<std::unique_ptr<LockedPty>> locked;
        QStringList paths;
        for (QChar k : kinds) {
            if (k == 'o') {
                open.push_back(std::make_unique<PtyPair>());
                QVERIFY(open.back()->isValid());
                paths << open.back()->slavePath();
            } else if (k == 'l') {
                locked.push_back(std::make_unique<LockedPty>());
                QVERIFY(!locked.back()->path().isEmpty());
                paths << locked.back()->path();
            } else {
                paths << QStringLiteral("/nonexistent/ttyDSP%1").arg(paths.size());
            }
        }
        qputenv(ComSettings::PortsOverrideVariable, paths.join(',').toLocal8Bit());
        gComSettings.setportlist(ComSettings::listports());
        qunsetenv(ComSettings::PortsOverrideVariable);
        QCOMPARE(gComSettings.getportlist(), paths);
        gComSettings.setportname(QStringLiteral("before"));

        CComCtrl c;
        QSignalSpy refresh(&c, &CComCtrl::refreshcomdlg);
        c.setscanindex(0);
        QString expectedname = QStringLiteral("before");
        for (int step = 0; step < found.size(); ++step) {
            const QString got = step == 0 ? c.findfirstcom() : c.findnextcom();
            const int want = found.at(step);
            if (want < 0) {
                QCOMPARE(got, step == 0 ? QStringLiteral("nocom") : QStringLiteral("endcom"));
            } else {
                QCOMPARE(got, paths.at(want));
                QCOMPARE(c.getscanindex(), want);
                expectedname = paths.at(want);
            }
            QCOMPARE(gComSettings.getportname(), expectedname);
            QVERIFY(!c.getcomisopened()); // a probe leaves the port closed
            QVERIFY(!c.serialport()->isopen());
        }
        QCOMPARE(refresh.count(), found.size() - 1);
        if (found.size() > 1)
            QCOMPARE(c.findnextcom(), QStringLiteral("endcom")); // stays at the end

        // The port found last opens as the engine's port.
        if (found.size() > 1) {
            QVERIFY(c.openmaincom());
            QCOMPARE(c.getcomname(), expectedname);
            c.closemaincom();
        }
    }

    void openFailureChangesNothing()
    {
        CComCtrl c;
        gComSettings.setportname(QStringLiteral("/nonexistent/ttyDSP"));
        QVERIFY(!c.openmaincom());
        QVERIFY(!c.getcomisopened());
        QCOMPARE(c.getcomname(), QStringLiteral("COM1"));
    }

    void openWithFixedSettings()
    {
        PtyPair pty;
        QVERIFY(pty.isValid());
        gComSettings.setportname(pty.slavePath());
        CComCtrl c;
        QVERIFY(c.openmaincom());
        QVERIFY(c.getcomisopened());
        QCOMPARE(c.getcomname(), pty.slavePath());
        QVERIFY(c.serialport()->receivethreadrunning());
        QVERIFY(c.serialport()->hassendthread());
        termios t;
        QTRY_VERIFY_WITH_TIMEOUT(pty.lineSettings(t) && cfgetospeed(&t) == B38400, 5000);
        c.closemaincom();
        QVERIFY(!c.getcomisopened());
        QCOMPARE(c.getcomname(), QString());
    }

    void repliesComeInThroughTheReader()
    {
        PtyPair pty;
        QVERIFY(pty.isValid());
        gComSettings.setportname(pty.slavePath());
        CComCtrl c;
        QVERIFY(c.openmaincom());
        QSignalSpy light(&c, &CComCtrl::readlight);
        QSignalSpy gain(&c, &CComCtrl::getgainisok);
        QSignalSpy found(&c, &CComCtrl::findok);

        // One reply, then the same cut in two writes with the reader polling between.
        QVERIFY(pty.write(meters()));
        QVERIFY(light.wait(5000));
        QCOMPARE(light.last().at(0).toString(), QStringLiteral("102030405060708090a0b0c0"));
        QVERIFY(pty.write(meters().left(11)));
        QTest::qWait(50);
        QVERIFY(pty.write(meters().mid(11)));
        QTRY_COMPARE_WITH_TIMEOUT(light.count(), 2, 5000);
        QCOMPARE(light.last().at(0).toString(), QStringLiteral("102030405060708090a0b0c0"));

        // Three replies in one write: each dispatched once.
        QVERIFY(pty.write(find() + gainack() + meters()));
        QTRY_COMPARE_WITH_TIMEOUT(light.count(), 3, 5000);
        QCOMPARE(found.count(), 1);
        QCOMPARE(gain.count(), 1);
        QVERIFY(c.getfindok());
        c.closemaincom();
    }

    // However often the port is probed and opened, every reply arrives once.
    void reopenDeliversEachChunkOnce()
    {
        PtyPair first, second;
        QVERIFY(first.isValid() && second.isValid());
        gComSettings.setportlist({first.slavePath(), second.slavePath()});
        CComCtrl c;
        QCOMPARE(c.findfirstcom(), first.slavePath());
        QVERIFY(c.openmaincom());
        c.closemaincom();
        QCOMPARE(c.findnextcom(), second.slavePath());
        QVERIFY(c.openmaincom());
        c.closemaincom();
        QVERIFY(c.openmaincom());
        QCOMPARE(c.getcomname(), second.slavePath());

        QSignalSpy gain(&c, &CComCtrl::getgainisok);
        QSignalSpy light(&c, &CComCtrl::readlight);
        QVERIFY(second.write(gainack()));
        QVERIFY(gain.wait(5000));
        // A later reply arrives after any duplicate of the first would have.
        QVERIFY(second.write(meters()));
        QVERIFY(light.wait(5000));
        QCOMPARE(gain.count(), 1);
        QCOMPARE(light.count(), 1);

        // Frames go out on the second port only.
        c.sendcmd(0x18, 0x01, 0x56, "00");
        const QByteArray frame = bytes("112233180156 00 57 445566");
        QCOMPARE(second.readAtLeast(frame.size()), frame);
        QVERIFY(first.readAvailable().isEmpty());
        c.closemaincom();
    }

    // An unfinished reply from one port never merges with the next port's bytes.
    void reopenForgetsUnfinishedReply()
    {
        PtyPair pty;
        QVERIFY(pty.isValid());
        gComSettings.setportname(pty.slavePath());
        CComCtrl c;
        QVERIFY(c.openmaincom());
        QVERIFY(pty.write(programdata(0).left(30)));
        QTRY_COMPARE_WITH_TIMEOUT(c.pendingreplybytes(), 30, 5000);
        c.closemaincom();
        QCOMPARE(c.pendingreplybytes(), 30);
        QVERIFY(c.openmaincom());
        QCOMPARE(c.pendingreplybytes(), 0);
        QSignalSpy data(&c, &CComCtrl::loadcurprogramdata);
        QVERIFY(pty.write(programdata(0).mid(30) + programdata(1)));
        QVERIFY(data.wait(5000));
        QCOMPARE(data.count(), 1);
        QCOMPARE(data.at(0).at(0).toString().mid(2, 2), QStringLiteral("01"));
        c.closemaincom();
    }

    void peerVanishes()
    {
        auto pty = std::make_unique<PtyPair>();
        QVERIFY(pty->isValid());
        gComSettings.setportname(pty->slavePath());
        CComCtrl c;
        QVERIFY(c.openmaincom());
        pty->closeMaster();
        c.sendcmd(0x18, 0x01, 0x01, "00");
        // The port closed itself: the engine no longer reports it open.
        QTRY_VERIFY_WITH_TIMEOUT(!c.serialport()->isopen(), 5000);
        QVERIFY(!c.getcomisopened());
        c.closemaincom();
        QVERIFY(!c.getcomisopened());
    }
};

QTEST_GUILESS_MAIN(TestCComCtrlPty)
#include "tst_ccomctrl_pty.moc"
