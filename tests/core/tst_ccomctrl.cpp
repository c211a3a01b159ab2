#include "ccomctrl.h"
#include "hextext.h"
#include "replyrate.h"
#include "tst_ccomctrl_replies.h"

#include <QThread>
#include <QtTest>

using namespace replies;

namespace
{

// Every signal of the engine as one line, in emission order.
class Recorder
{
public:
    explicit Recorder(CComCtrl &c)
    {
        QObject::connect(&c, &CComCtrl::refreshcomdlg, [this] { add("refreshcomdlg"); });
        QObject::connect(&c, &CComCtrl::findok, [this, &c](uchar t, uchar a) {
            add(QString("findok %1 %2 found=%3").arg(t).arg(a).arg(c.getfindok()));
        });
        QObject::connect(&c, &CComCtrl::connectok, [this](QString s) { add("connectok " + s); });
        QObject::connect(&c, &CComCtrl::readprogramname, [this](QString s) { add("readprogramname " + s); });
        QObject::connect(&c, &CComCtrl::loadcurprogramdata,
                         [this](QString s) { add("loadcurprogramdata " + s); });
        QObject::connect(&c, &CComCtrl::loadcurprogramisready, [this] { add("loadcurprogramisready"); });
        QObject::connect(&c, &CComCtrl::loadcurprogram1to25isokflag,
                         [this] { add("loadcurprogram1to25isokflag"); });
        QObject::connect(&c, &CComCtrl::loadwritecurprogram1to25isokflag,
                         [this] { add("loadwritecurprogram1to25isokflag"); });
        QObject::connect(&c, &CComCtrl::loadcopy, [this] { add("loadcopy"); });
        QObject::connect(&c, &CComCtrl::loadname, [this] { add("loadname"); });
        QObject::connect(&c, &CComCtrl::getgainisok, [this] { add("getgainisok"); });
        QObject::connect(&c, &CComCtrl::lockreturn, [this](bool v) { add(QString("lockreturn %1").arg(v)); });
        QObject::connect(&c, &CComCtrl::writeok, [this](QString s) { add("writeok " + s); });
        QObject::connect(&c, &CComCtrl::muterevok, [this](QString s) { add("muterevok " + s); });
        QObject::connect(&c, &CComCtrl::logreturn, [this] { add("logreturn"); });
        QObject::connect(&c, &CComCtrl::readlight, [this](QString s) { add("readlight " + s); });
    }
    QStringList events;

private:
    void add(const QString &e) { events << e; }
};

QByteArray ack(const char *code)
{
    return bytes(QByteArray("445566 18 01 ") + code + " 00 00 112233");
}

QString programslice(unsigned char packet)
{
    return bytestohex(programdata(packet).mid(7, 66));
}

} // namespace

class TestCComCtrl : public QObject
{
    Q_OBJECT
private slots:
    // Each reply code, sent alone in one chunk: the signals and slices in order.
    void dispatch_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("01 find") << find() << QStringList{"findok 24 3 found=1"};
        QTest::newRow("02 connect") << connectreply() << QStringList{"connectok 1801020001050000000000"};
        QTest::newRow("03 disconnect") << disconnectreply() << QStringList{"connectok 18010300"};
        QTest::newRow("56 meters") << meters() << QStringList{"readlight 102030405060708090a0b0c0"};
        QTest::newRow("57 mutes") << mutes() << QStringList{"muterevok 010001000000000000000001"};
        QTest::newRow("50 gain") << gainack() << QStringList{"getgainisok"};
        QTest::newRow("64 name") << name()
                                 << QStringList{
                                        "readprogramname 050050726f6772616d20666976652020202020202020",
                                        "loadname"};
        QTest::newRow("61 packet 0") << programdata(0)
                                     << QStringList{"loadcurprogramisready",
                                                    "loadcurprogramdata " + programslice(0),
                                                    "loadcurprogram1to25isokflag"};
        QTest::newRow("61 packet 5") << programdata(5)
                                     << QStringList{"loadcurprogramdata " + programslice(5),
                                                    "loadcurprogram1to25isokflag"};
        QTest::newRow("60 write") << writeack()
                                  << QStringList{"writeok 0007", "loadwritecurprogram1to25isokflag"};
        QTest::newRow("62 recall") << recallack() << QStringList{"loadcurprogramisready"};
        QTest::newRow("63 save") << ack("63") << QStringList{"loadcopy"};
        QTest::newRow("55 copy") << copyack() << QStringList{"loadcopy"};
        QTest::newRow("10 lock 01") << lockon() << QStringList{"loadcurprogramisready", "lockreturn 1"};
        QTest::newRow("12 lock 81") << projectlock81()
                                    << QStringList{"loadcurprogramisready", "lockreturn 0"};
        QTest::newRow("13 logo") << logoack() << QStringList{"logreturn"};
        for (const char *c : {"20", "21", "22", "30", "51", "7f", "00", "ff"})
            QTest::newRow(c) << ack(c) << QStringList{};
    }
    void dispatch()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QStringList, events);
        CComCtrl c;
        Recorder r(c);
        QVERIFY(!c.getfindok());
        c.dataReceived(reply);
        QCOMPARE(r.events, events);
        QCOMPARE(c.pendingreplybytes(), 0);
        // The same frame handed to the dispatcher as text does the same.
        CComCtrl d;
        Recorder rd(d);
        d.dealwithframe(bytestohex(reply));
        QCOMPARE(rd.events, events);
    }

    // Streams as the port delivers them: every reply dispatched once, alone, in order.
    void stream_data()
    {
        QTest::addColumn<QByteArrayList>("chunks");
        QTest::addColumn<QStringList>("events");
        const QStringList meterev{"readlight 102030405060708090a0b0c0"};
        QTest::newRow("three in one chunk")
            << QByteArrayList{find() + meters() + gainack()}
            << (QStringList{"findok 24 3 found=1"} + meterev + QStringList{"getgainisok"});
        // A meter reply cut short: it never completes, the next reply is not lost.
        QTest::newRow("short reply, next chunk")
            << QByteArrayList{bytes("445566 18 01 56 0c 10 20 112233"), name()}
            << QStringList{"readprogramname 050050726f6772616d20666976652020202020202020", "loadname"};
    }
    void stream()
    {
        QFETCH(QByteArrayList, chunks);
        QFETCH(QStringList, events);
        CComCtrl c;
        Recorder r(c);
        for (const QByteArray &chunk : chunks)
            c.dataReceived(chunk);
        QCOMPARE(r.events, events);
    }

    // Unasked replies pass at most ReplyRate::kPerWindow per code per window;
    // the rest of a chunk is counted and dropped. A reply a wait asks for
    // (type, address and code) always passes; budgets are per code.
    // "asked": type/address/code registered for the whole row, or empty.
    // "pause": a window passes between the two chunks (-1: one chunk only).
    void rate_data()
    {
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("second");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<int>("meterevents");
        QTest::addColumn<int>("gainevents");
        QTest::addColumn<int>("dropped");
        const int budget = ReplyRate::kPerWindow;
        const QByteArray flood = meters().repeated(budget + 8);
        QTest::newRow("within the budget")
            << meters().repeated(budget) << QByteArray() << QString() << budget << 0 << 0;
        QTest::newRow("beyond the budget") << flood << QByteArray() << QString() << budget << 0 << 8;
        QTest::newRow("another code keeps its own budget")
            << flood + gainack() << QByteArray() << QString() << budget << 1 << 8;
        QTest::newRow("asked: every one passes") << flood << QByteArray() << "180156" << budget + 8 << 0 << 0;
        QTest::newRow("asked of another unit") << flood << QByteArray() << "180256" << budget << 0 << 8;
        QTest::newRow("the next window has a new budget")
            << flood << flood << QString() << 2 * budget << 0 << 16;
    }
    void rate()
    {
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, second);
        QFETCH(QString, asked);
        QFETCH(int, meterevents);
        QFETCH(int, gainevents);
        QFETCH(int, dropped);
        const QByteArray key = QByteArray::fromHex(asked.toLatin1());
        if (!key.isEmpty())
            ReplyRate::ask(uchar(key[0]), uchar(key[1]), uchar(key[2]));
        CComCtrl c;
        Recorder r(c);
        c.dataReceived(first);
        if (!second.isEmpty()) {
            QThread::msleep(ReplyRate::kWindowMs + 5);
            c.dataReceived(second);
        }
        if (!key.isEmpty())
            ReplyRate::unask(uchar(key[0]), uchar(key[1]), uchar(key[2]));
        QCOMPARE(r.events.filter(QStringLiteral("readlight")).size(), meterevents);
        QCOMPARE(r.events.filter(QStringLiteral("getgainisok")).size(), gainevents);
        QCOMPARE(c.droppedreplies(), qint64(dropped));
        QVERIFY(!ReplyRate::asked(0x18, 0x01, 0x56));
    }

    // The budget alone, by the clock given: a window lasts kWindowMs from its
    // first reply; a clock that goes back starts a new one. Each step: time
    // and code; the result is the admitted steps as a string of 1 and 0.
    void ratewindow_data()
    {
        QTest::addColumn<QList<int>>("times");
        QTest::addColumn<int>("perstep"); // replies fed at each time
        QTest::addColumn<QString>("admitted");
        const int w = int(ReplyRate::kWindowMs);
        const int b = ReplyRate::kPerWindow;
        QTest::newRow("last moment of the window") << QList<int>{0, w - 1} << b / 2 << "11";
        QTest::newRow("over budget inside the window") << QList<int>{0, w - 1} << b / 2 + 1 << "10";
        QTest::newRow("at the window's end a new one") << QList<int>{0, w} << b << "11";
        QTest::newRow("clock going back") << QList<int>{500, 10} << b << "11";
    }
    void ratewindow()
    {
        QFETCH(QList<int>, times);
        QFETCH(int, perstep);
        QFETCH(QString, admitted);
        ReplyRate rate;
        QString got;
        for (int t : times) {
            bool all = true;
            for (int i = 0; i < perstep; ++i)
                all = rate.admit(0x18, 0x01, 0x56, t) && all;
            got += all ? '1' : '0';
        }
        QCOMPARE(got, admitted);
    }

    // Frames handed to the dispatcher directly (the network link does that):
    // a slice that would reach past the frame's data reads missing bytes as 0.
    void shortFrames_data()
    {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("meters, two levels")
            << "4455661801560c1020112233" << QStringList{"readlight 102000000000000000000000"};
        QTest::newRow("write ack, one byte")
            << "44556618016002aa112233" << QStringList{"writeok aa00", "loadwritecurprogram1to25isokflag"};
        QTest::newRow("lock, no data byte")
            << "445566180110112233" << QStringList{"loadcurprogramisready", "lockreturn 0"};
        QTest::newRow("program data, no packet index")
            << "4455661801614200112233"
            << QStringList{"loadcurprogramisready", "loadcurprogramdata " + QString(132, '0'),
                           "loadcurprogram1to25isokflag"};
        QTest::newRow("no command code") << "4455661801112233" << QStringList{};
        QTest::newRow("no end marker") << "44556618015000" << QStringList{};
        QTest::newRow("odd length find") << "4455661801011122334" << QStringList{};
    }
    void shortFrames()
    {
        QFETCH(QString, frame);
        QFETCH(QStringList, events);
        CComCtrl c;
        Recorder r(c);
        c.dealwithframe(frame);
        QCOMPARE(r.events, events);
    }
};

QTEST_GUILESS_MAIN(TestCComCtrl)
#include "tst_ccomctrl.moc"
