// The peak-limiter page on its own.

#include "limit2fixture.h"
#include "standinlink.h"

#include <QSet>
#include <QSignalSpy>
#include <QTimer>
#include <QWheelEvent>

using Kind = FormLimit2::Kind;
Q_DECLARE_METATYPE(FormLimit2::Kind)

class TstFormLimit2 : public QObject
{
    Q_OBJECT
    Limit2Fixture f;

    // Every output's record into the model, then the page reloads it.
    void load(const QVector<QVector<int>> &records, int view = 0)
    {
        for (int o = 0; o < records.size(); ++o) {
            f.dev->setpeaklimiton(o, records[o][0]);
            f.dev->setpeaklimita(o, records[o][1]);
            f.dev->setpeaklimitb(o, records[o][2]);
            f.dev->setpeaklimitvalue(o, records[o][3]);
        }
        f.page->updatelimitview2(view);
    }
    static QVector<QVector<int>> same(const QVector<int> &r) { return QVector<QVector<int>>(8, r); }

private slots:
    void initTestCase() { MainApp::settimescale(0.05); }
    void init() { f.setup(); }
    void cleanup() { f.teardown(); }

    // The overlay lies above row 1 and the output buttons but beneath rows 2..8.
    void form()
    {
        QCOMPARE(f.slider(A, 7)->maximum(), 100);
        QCOMPARE(f.slider(R, 7)->maximum(), 20);
        QCOMPARE(f.slider(T, 7)->maximum(), 400);
        QVERIFY(f.get<QWidget>("widgetblock")->isHidden());
        const QObjectList order = f.get<QWidget>("widgetlimit50_2")->children();
        const int block = order.indexOf(f.get<QWidget>("widgetblock"));
        QVERIFY(block > order.indexOf(f.select(0)));
        QVERIFY(block > order.indexOf(f.row(0)));
        QVERIFY(block < order.indexOf(f.row(1)));
        f.select(0)->click();
        f.select(2)->click();
        QCOMPARE(f.selected(), 2);
    }

    // Unit letters (lower-case "m", "s"; "d", "B", "u") are blanks.
    void entries_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("shown");
        QTest::newRow("attack above range") << A << 50 << "250ms" << 100 << "100ms";
        QTest::newRow("attack with blank") << A << 50 << "10 ms" << 10 << "10ms";
        QTest::newRow("attack upper-case unit") << A << 50 << "10MS" << 50 << "50ms";
        QTest::newRow("attack decimal") << A << 50 << "10.5" << 50 << "50ms";
        QTest::newRow("attack empty") << A << 50 << "" << 50 << "50ms";
        QTest::newRow("attack same value") << A << 10 << "10 ms" << 10 << "10ms";
        QTest::newRow("release 520") << R << 5 << "520" << 10 << "500ms";
        QTest::newRow("release above range") << R << 5 << "2000" << 20 << "1000ms";
        QTest::newRow("release 590 truncated") << R << 5 << "590" << 11 << "550ms";
        QTest::newRow("release below a step") << R << 5 << "30" << 1 << "50ms";
        QTest::newRow("threshold above range") << T << 300 << "25" << 400 << "20.0dBu";
        QTest::newRow("threshold 2.35") << T << 300 << "2.35" << 223 << "2.3dBu";
        QTest::newRow("threshold lower-case b") << T << 300 << "5dbu" << 300 << "10.0dBu";
        QTest::newRow("threshold sign alone") << T << 300 << "-" << 300 << "10.0dBu";
    }
    void entries()
    {
        QFETCH(Kind, kind);
        QFETCH(int, start);
        QFETCH(QString, text);
        QFETCH(int, value);
        QFETCH(QString, shown);
        const int o = 5;
        f.slider(kind, o)->setValue(start);
        f.type(kind, o, text);
        QCOMPARE(f.slider(kind, o)->value(), value);
        QCOMPARE(f.entry(kind, o)->text(), shown);
        const int stored[] = {f.dev->getpeaklimita(o), f.dev->getpeaklimitb(o), f.dev->getpeaklimitvalue(o)};
        QCOMPARE(stored[kind], value);
    }

    // Any end of editing applies a readable text (Tab, a click on another
    // entry); an unreadable one changes nothing and the slider's value shows
    // again.
    void entryleft_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("tab");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("shown");
        QTest::newRow("Tab") << "3.3" << true << 233 << "3.3dBu";
        QTest::newRow("click away") << "-5dBu" << false << 150 << "-5.0dBu";
        QTest::newRow("unreadable, Tab") << "abc" << true << 250 << "5.0dBu";
        QTest::newRow("empty, click away") << "" << false << 250 << "5.0dBu";
    }
    void entryleft()
    {
        QFETCH(QString, text);
        QFETCH(bool, tab);
        QFETCH(int, value);
        QFETCH(QString, shown);
        f.showpage();
        f.slider(T, 2)->setValue(250);
        QLineEdit *e = f.entry(T, 2);
        e->setFocus();
        e->selectAll();
        QTest::keyClicks(e, text);
        if (text.isEmpty())
            QTest::keyClick(e, Qt::Key_Backspace);
        if (tab)
            QTest::keyClick(e, Qt::Key_Tab);
        else
            QTest::mouseClick(f.entry(A, 0), Qt::LeftButton);
        QVERIFY(!e->hasFocus());
        QCOMPARE(f.slider(T, 2)->value(), value);
        QCOMPARE(f.dev->getpeaklimitvalue(2), value);
        QCOMPARE(e->text(), shown);
    }

    // A step at a range end leaves no origin behind for the next reload to copy.
    void stepsatrangeends_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<bool>("up");
        QTest::addColumn<int>("end");
        QTest::newRow("attack down at 1") << A << false << 1;
        QTest::newRow("release up at 20") << R << true << 20;
        QTest::newRow("threshold up at 400") << T << true << 400;
    }
    void stepsatrangeends()
    {
        QFETCH(Kind, kind);
        QFETCH(bool, up);
        QFETCH(int, end);
        f.setoutputmasks(hex("010a040a10204080")); // OUT2 and OUT4
        QVector<int> r{1, 10, 5, 200};
        r[1 + kind] = end;
        load(same(r));
        const QByteArray before = Limit2Fixture::packed(f.dev);
        f.stepbutton(kind, 1, up)->click();
        QCOMPARE(f.slider(kind, 1)->value(), end);
        QCOMPARE(Limit2Fixture::packed(f.dev), before);
        QVector<QVector<int>> records = same(r);
        records[1][1 + kind] = kind == R ? 7 : 70;
        load(records);
        QCOMPARE(f.slider(kind, 1)->value(), kind == R ? 7 : 70);
        QCOMPARE(f.slider(kind, 3)->value(), end);
        QCOMPARE(f.record(3), r);
        // Nor for a wheel turned over the slider while the page holds no
        // keyboard focus: that output moves alone.
        load(same(r));
        f.stepbutton(kind, 1, up)->click();
        QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, up ? -120 : 120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(f.slider(kind, 1), &wheel);
        QVERIFY(f.slider(kind, 1)->value() != end);
        QCOMPARE(f.slider(kind, 3)->value(), end);
        QCOMPARE(f.record(3), r);
    }

    // The throttle's tick: 30 ms, a send at the fifth.
    void tick()
    {
        const QList<QTimer *> timers = f.page->findChildren<QTimer *>();
        QCOMPARE(timers.size(), 1);
        QCOMPARE(timers.first()->interval(), 30);
    }

    void switches_data()
    {
        QTest::addColumn<QByteArray>("masks");
        QTest::addColumn<bool>("linkon");
        QTest::addColumn<int>("output");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("on, not linked")
            << hex("0102040810204080") << true << 0 << hex("0000000000000000") << hex("0100000000000000");
        QTest::newRow("off, linked with OUT3 and OUT8")
            << hex("8502850810204085") << true << 0 << hex("0101010101010101") << hex("0001000101010100");
        QTest::newRow("off, output link off")
            << hex("8502850810204085") << false << 0 << hex("0101010101010101") << hex("0001010101010101");
        QTest::newRow("on from OUT8 of the group")
            << hex("8502850810204085") << true << 7 << hex("0000000000000000") << hex("0100010000000001");
    }
    void switches()
    {
        QFETCH(QByteArray, masks);
        QFETCH(bool, linkon);
        QFETCH(int, output);
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        f.setoutputmasks(masks);
        gMainApp->outputlinkon = linkon;
        QVector<QVector<int>> records;
        for (int o = 0; o < 8; ++o)
            records << QVector<int>{before[o], 10, 5, 150 + o};
        load(records);
        f.page->updateallvalues2();
        QSignalSpy told(f.page.get(), &FormLimit2::updatelimitvalues2);

        f.enable(output)->click();

        QCOMPARE(f.selected(), output);
        for (int o = 0; o < 8; ++o) {
            QCOMPARE(f.dev->getpeaklimiton(o), int(after[o]));
            QCOMPARE(f.enable(o)->isChecked(), bool(after[o]));
            const QString label = after[o] ? QStringLiteral("%1dB").arg((150 + o) / 10.0 - 20.0, 0, 'f', 1)
                                           : QStringLiteral("off");
            QCOMPARE(f.peaklabel(o), label);
        }
        QSet<int> changed;
        for (const QList<QVariant> &args : told)
            changed << args.at(0).toInt();
        QSet<int> expected;
        for (int o = 0; o < 8; ++o)
            if (after[o] != before[o])
                expected << o;
        QCOMPARE(changed, expected);
    }

    // Locked: link up and lock state 1 or 3.
    void lock_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("linkup");
        QTest::addColumn<bool>("locked");
        QTest::newRow("state 1") << 1 << true << true;
        QTest::newRow("state 3") << 3 << true << true;
        QTest::newRow("state 2") << 2 << true << false;
        QTest::newRow("state 1, no link") << 1 << false << false;
    }
    void lock()
    {
        QFETCH(int, state);
        QFETCH(bool, linkup);
        QFETCH(bool, locked);
        f.showpage();
        load(same({0, 10, 5, 200}));
        f.select(3)->click();
        f.dev->setcomconnected(linkup);
        f.dev->setlocktype(state);
        f.page->updatelimit2lock();
        QCOMPARE(f.get<QWidget>("widgetblock")->isVisible(), locked);
        const QByteArray before = Limit2Fixture::packed(f.dev);
        for (int o : {0, 1, 7}) {
            QTest::mouseClick(f.enable(o), Qt::LeftButton);
            QTest::mouseClick(f.stepbutton(T, o, true), Qt::LeftButton);
            QTest::mouseClick(f.select(o), Qt::LeftButton);
            f.slider(A, o)->setFocus();
            QTest::keyClick(f.slider(A, o), Qt::Key_Right);
            f.entry(R, o)->setFocus();
            f.entry(R, o)->selectAll();
            QTest::keyClicks(f.entry(R, o), QStringLiteral("900"));
            QTest::keyClick(f.entry(R, o), Qt::Key_Return);
        }
        QCOMPARE(Limit2Fixture::packed(f.dev) == before, locked);
        QCOMPARE(f.selected(), locked ? 3 : 7);

        f.dev->setlocktype(locked ? 0 : 1);
        f.dev->setcomconnected(1);
        f.page->updatelimit2lock();
        const bool nowlocked = !locked;
        QCOMPARE(f.get<QWidget>("widgetblock")->isVisible(), nowlocked);
        for (int o = 0; o < 8; ++o) {
            QCOMPARE(f.row(o)->isEnabled(), !nowlocked);
            QCOMPARE(f.select(o)->isEnabled(), !nowlocked);
        }
        if (nowlocked) {
            QWidget *back = f.get<QWidget>("widgetlimit50_2");
            QCOMPARE(back->childAt(f.row(1)->geometry().center()), f.get<QWidget>("widgetblock"));
        } else {
            QTest::mouseClick(f.stepbutton(T, 7, true), Qt::LeftButton);
            QCOMPARE(f.dev->getpeaklimitvalue(7), f.slider(T, 7)->value());
            QCOMPARE(f.selected(), 7);
        }
    }

    // An unknown type changes no row.
    void devicetypes_data()
    {
        QTest::addColumn<int>("view");
        QTest::addColumn<int>("shown");
        QTest::newRow("type 24") << 0 << 8;
        QTest::newRow("type 22") << 1 << 6;
        QTest::newRow("type 20") << 2 << 4;
    }
    void devicetypes()
    {
        QFETCH(int, view);
        QFETCH(int, shown);
        for (int pass = 0; pass < 2; ++pass) {
            f.page->updatelimitview2(view);
            f.page->updatelimitview2(pass == 0 ? 7 : -1);
            for (int o = 0; o < 8; ++o) {
                QCOMPARE(f.row(o)->isHidden(), o >= shown);
                QCOMPARE(f.select(o)->isHidden(), o >= shown);
            }
            f.page->updatelimitview2(2 - view);
        }
    }

    // The reload writes into no linked record, even with a linked slider focused.
    void reload()
    {
        f.showpage();
        f.setoutputmasks(hex("010a040a10204080")); // OUT2 and OUT4
        f.slider(A, 1)->setFocus();
        QVERIFY(f.slider(A, 1)->hasFocus());
        QVector<QVector<int>> records = same({1, 1, 1, 0});
        records[1] = {0, 30, 20, 400};
        bool flagged = false;
        QTimer::singleShot(0, [&] { flagged = gMainApp->peaklimitloading; });
        load(records);
        QVERIFY(flagged);
        QVERIFY(!gMainApp->peaklimitloading);
        QCOMPARE(f.record(3), (QVector<int>{1, 1, 1, 0}));
        QCOMPARE(f.slider(A, 3)->value(), 1);
        QCOMPARE(f.entry(A, 1)->text(), QStringLiteral("30ms"));
        QCOMPARE(f.entry(T, 1)->text(), QStringLiteral("20.0dBu"));
        QCOMPARE(f.entry(T, 0)->text(), QStringLiteral("-20.0dBu"));
        QVERIFY(f.enable(0)->isChecked());
        QVERIFY(!f.enable(1)->isChecked());
    }

    void selection()
    {
        gMainApp->setlimit2channel(4);
        f.page->updatelimit2();
        QCOMPARE(f.selected(), 4);
        for (int bad : {-1, 8}) {
            gMainApp->setlimit2channel(bad);
            f.page->updatelimit2();
            QCOMPARE(f.selected(), 4);
        }
    }

    void language()
    {
        for (int lang : {1, 0}) {
            gGlobalContrl->setlanguage(lang);
            emit gGlobalContrl->refreshLangangeState();
            const QString sfx = lang ? "_chs.png);" : ".png);";
            QCOMPARE(f.get<QLabel>("label_2")->styleSheet(), "background-image: url(:/back/skin/maxpeaks6" + sfx);
            QCOMPARE(f.get<QLabel>("label")->styleSheet(), "background-image: url(:/back/skin/peaklabels0" + sfx);
        }
    }
};

QTEST_MAIN(TstFormLimit2)
#include "tst_formlimit2.moc"
