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

QTEST_MAIN(TestReplyPaths)
#include "tst_replypaths.moc"
