// Reply streams through the serial engine and the network link, cut at every
// point: each reply comes out once, whole, in order, with the same effect.

#include "../core/tst_ccomctrl_replies.h"
#include "tst_connect_support.h"

#include <QScopeGuard>
#include <QSignalSpy>

using namespace replies;
using linktest::Env;

Q_DECLARE_METATYPE(QByteArrayList)

class TestReplyPaths : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { qRegisterMetaType<Reply>(); }
    void bothpaths_data();
    void bothpaths();
    void otherunits_data();
    void otherunits();
};

void TestReplyPaths::bothpaths_data()
{
    QTest::addColumn<QByteArrayList>("replies");
    QTest::newRow("name holding a disconnect reply") << QByteArrayList{namewithframe()};
    QTest::newRow("program part holding every marker") << QByteArrayList{programwithmarkers()};
    QTest::newRow("meters and mutes") << QByteArrayList{meterswithmarkers(), mutes()};
    QTest::newRow("connect holding 11 22 33 44 55 66, then a name")
        << QByteArrayList{connectwithmarkers(), name()};
    QTest::newRow("every kind, merged")
        << QByteArrayList{find(), writeack(), programdata(0), lockon(), namewithframe(), gainack()};
}

void TestReplyPaths::bothpaths()
{
    QFETCH(QByteArrayList, replies);
    const QByteArray stream = replies.join();
    // Whole, split at every point, and byte by byte.
    QVector<QByteArrayList> cuts{{stream}};
    for (int i = 1; i < stream.size(); ++i)
        cuts.append({stream.left(i), stream.mid(i)});
    QByteArrayList bytewise;
    for (char c : stream)
        bytewise.append(QByteArray(1, c));
    cuts.append(bytewise);

    // The same replies are fed hundreds of times in a moment: they are asked
    // for, as a wait does, so the links' limit on unasked replies (tested
    // with the engine) lets every one through.
    for (const QByteArray &r : replies)
        ReplyRate::ask(uchar(r.at(3)), uchar(r.at(4)), uchar(r.at(5)));
    const auto unask = qScopeGuard([&replies]() {
        for (const QByteArray &r : replies)
            ReplyRate::unask(uchar(r.at(3)), uchar(r.at(4)), uchar(r.at(5)));
    });
    Env env;
    env.link.connectreplies(&env.comctrl);
    env.select(0x18, 1, linktest::kSerial);
    for (int path = 0; path < 2; ++path) {
        for (const QByteArrayList &chunks : cuts) {
            QSignalSpy serial(&env.comctrl, &CComCtrl::replied);
            QSignalSpy network(&gComCtrl, &CComCtrl::replied);
            for (const QByteArray &c : chunks) {
                if (path == 0)
                    env.comctrl.dataReceived(c);
                else
                    env.link.tcpdataReceived(c, QHostAddress(QStringLiteral("192.0.2.7")));
            }
            QSignalSpy &spy = path == 0 ? serial : network;
            const QString where =
                QStringLiteral("%1, %2 chunks").arg(path == 0 ? "serial" : "network").arg(chunks.size());
            QCOMPARE((path == 0 ? network : serial).size(), 0);
            QVERIFY2(spy.size() == replies.size(), qPrintable(where));
            for (int k = 0; k < replies.size(); ++k)
                QCOMPARE(spy.at(k).at(0).value<Reply>().text, QString(replies.at(k).toHex()));
            // The name record carries the fake frame as its name.
            if (replies.contains(namewithframe()))
                QCOMPARE(env.cur()->getnamerecordname(6).toLatin1().left(3), QByteArray("\x11\x22\x33"));
            if (replies.contains(programwithmarkers())) {
                env.cur()->applyreceivedimage();
                QCOMPARE(env.cur()->getcurimagebyte(3 * 64 + 20), 0x44);
                QCOMPARE(env.cur()->getcurimagebyte(3 * 64 + 63), 0x66);
            }
        }
    }
}

namespace
{
// The same reply as another unit's (the dispatch reads no checksum).
QByteArray asunit(QByteArray frame, uchar type, uchar address)
{
    frame[3] = char(type);
    frame[4] = char(address);
    return frame;
}

// Everything a reply handler may set on the current record, as text.
QString effects(const Env &env, int meters)
{
    const DeviceData *d = env.cur();
    QStringList s;
    s << QString::number(d->getcomconnected()) << QString::number(d->getconnectok())
      << QString::number(d->getprogramready()) << QString::number(d->getread1to25ok())
      << QString::number(d->countreadflags()) << QString::number(d->getwrite1to25ok())
      << QString::number(d->countwriteacks()) << QString::number(d->getcopyok())
      << QString::number(d->getnameok()) << QString::number(d->getgainok())
      << QString::number(d->getlockresult()) << QString::number(env.app.logocount);
    QString m;
    for (int c = 0; c < 12; ++c)
        m += QString::number(d->getmute(c));
    s << m << d->getnamerecordname(4).trimmed() << QString::number(meters);
    return s.join(QLatin1Char(' '));
}

// The record as a connected processor's with no reply seen yet.
void resetrecord(Env &env)
{
    DeviceData *d = env.cur();
    d->setcomconnected(1);
    d->setconnectok(0);
    d->setprogramready(0);
    d->setread1to25ok(0);
    d->clearreadflags();
    d->setwrite1to25ok(0);
    d->clearwriteacks();
    d->setcopyok(0);
    d->setnameok(0);
    d->setgainok(0);
    d->setlockresult(0);
    env.app.logocount = 0;
    d->setmutesfromhex(QString(24, QLatin1Char('0')));
    d->setnamerecord(QStringLiteral("0500") + QStringLiteral("20").repeated(20)); // program 5, unused, blank
}
} // namespace

// Every reply code a handler takes: from another unit on the line (another
// type, another address) it changes nothing, and only the exchange waits see
// it; from the unit the application talks to it has its effect. Both paths.
void TestReplyPaths::otherunits_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("02 connect") << connectreply();
    QTest::newRow("03 disconnect") << disconnectreply();
    QTest::newRow("10 device lock") << lockon();
    QTest::newRow("12 project lock") << reply(0x12, bytes("01"));
    QTest::newRow("13 logo block") << logoack();
    QTest::newRow("50 gain") << gainack();
    QTest::newRow("54 links") << reply(0x54, QByteArray());
    QTest::newRow("55 copy") << copyack();
    QTest::newRow("56 meters") << meters();
    QTest::newRow("57 mutes") << mutes();
    QTest::newRow("60 write") << writeack();
    QTest::newRow("61 program part 0") << programdata(0);
    QTest::newRow("62 recall") << recallack();
    QTest::newRow("63 store") << reply(0x63, bytes("03"));
    QTest::newRow("64 name") << name();
    QTest::newRow("65 reset") << reply(0x65, QByteArray());
    QTest::newRow("66 delete") << reply(0x66, bytes("03"));
}

void TestReplyPaths::otherunits()
{
    QFETCH(QByteArray, reply);
    Env env;
    env.link.connectreplies(&env.comctrl);
    env.select(0x18, 1, linktest::kSerial);
    QSignalSpy serialmeters(&env.comctrl, &CComCtrl::readlight);
    QSignalSpy networkmeters(&gComCtrl, &CComCtrl::readlight);
    const auto meters = [&]() { return serialmeters.size() + networkmeters.size(); };
    for (int path = 0; path < 2; ++path) {
        const auto feed = [&](const QByteArray &bytes) {
            if (path == 0)
                env.comctrl.dataReceived(bytes);
            else
                env.link.tcpdataReceived(bytes, QHostAddress(QStringLiteral("192.0.2.7")));
        };
        const QString where = path == 0 ? QStringLiteral("serial") : QStringLiteral("network");
        resetrecord(env);
        const QString before = effects(env, meters());
        for (const QByteArray &other : {asunit(reply, 0x16, 0x01), asunit(reply, 0x18, 0x05)}) {
            QSignalSpy seen(path == 0 ? &env.comctrl : &gComCtrl, &CComCtrl::replied);
            feed(other);
            QVERIFY2(effects(env, meters()) == before, qPrintable(where + ": " + effects(env, meters())));
            QCOMPARE(seen.size(), 1);
        }
        feed(reply);
        QVERIFY2(effects(env, meters()) != before, qPrintable(where));
    }
}

QTEST_MAIN(TestReplyPaths)
#include "tst_replypaths.moc"
