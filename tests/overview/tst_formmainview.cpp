// The main control page without a processor, driven through its slots and
// its buttons' clicked signals.

#include "formmainview.h"
#include "overviewfixture.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include <functional>

using Setup = std::function<void(MainApp &, DeviceData &)>;
Q_DECLARE_METATYPE(Setup)

namespace
{

const QString kOffZh = QStringLiteral("关");

// Records the order in which pages are shown.
class ShowLog : public QObject
{
public:
    QStringList shown;
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Show)
            shown << o->objectName();
        return false;
    }
};

QStringList texts(const QWidget *page)
{
    QStringList out;
    for (QLabel *l : page->findChildren<QLabel *>())
        out << l->text();
    return out;
}

} // namespace

class TstFormMainView : public QObject
{
    Q_OBJECT
    OverviewFixture f;

private slots:
    void init() { f.setup(); }
    void cleanup() { f.teardown(); }

    // The page refuses the close and stays shown: nothing would show it again.
    void closeisrefused()
    {
        QMdiArea area;
        QPointer<FormMainView> page = new FormMainView;
        QMdiSubWindow *sub = area.addSubWindow(page);
        area.show();
        sub->show();
        QVERIFY(!sub->close());
        QVERIFY(page);
        QVERIFY(page->isVisible());
    }

    // Every click slot finds its button (a slot without one would warn), the
    // lock image lies beneath every strip and the routing lines above them.
    void form()
    {
        static QStringList warnings;
        const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext &, const QString &m) { warnings << m; });
        FormMainView page;
        qInstallMessageHandler(previous);
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join('\n')));
        const QObjectList order = page.findChild<QWidget *>("formmaindlg")->children();
        QCOMPARE(order.first()->objectName(), QStringLiteral("widgetlockback"));
        QCOMPARE(order.last()->objectName(), QStringLiteral("widgetdrawlines"));
        QVERIFY(f.widget("widgetlockback")->isHidden());
        QCOMPARE(f.label("labelout4")->text(), QStringLiteral("Off"));
    }

    void valuelabels_data()
    {
        QTest::addColumn<QString>("slot");
        QTest::addColumn<int>("index");
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("text");
        auto row = [](const char *tag, const char *slot, int index, Setup s, int lang, const char *label,
                      const QString &text) {
            QTest::newRow(tag) << slot << index << s << lang << label << text;
        };
        auto gain = [](int ch, float v) { return [=](MainApp &a, DeviceData &) { a.setgaincache(ch, v); }; };
        auto delay = [](int ch, float v) {
            return [=](MainApp &a, DeviceData &) { a.setdelaycache(ch, v); };
        };
        auto limit = [](int ch, int thr, int knee) {
            return [=](MainApp &a, DeviceData &d) { a.setthresholdcache(ch, thr), d.setlimitknee(ch, knee); };
        };
        auto peak = [](int o, int thr, int on) {
            return [=](MainApp &, DeviceData &d) { d.setpeaklimitvalue(o, thr), d.setpeaklimiton(o, on); };
        };
        row("gain -3.5", "updategainvalues", 5, gain(5, -3.5f), 0, "label_gainout2", "-3.5dB");
        row("delay 12.5", "updatedelayvalues", 3, delay(3, 12.5f), 0, "label_delay4", "12.50ms");
        row("limiter knee 0, zh", "updatelimitvalues", 6, limit(6, 300, 0), 1, "label_limit6", kOffZh);
        row("limiter raw 200", "updatelimitvalues", 11, limit(11, 200, 1), 0, "label_limit11", "0.0dB");
        row("limiter raw 0, input", "updatelimitvalues", 0, limit(0, 0, 3), 0, "label_limit", "-20.0dB");
        row("peak raw 155", "updatelimitvalues2", 0, peak(0, 155, 1), 0, "label_limit20", "-4.5dB");
        row("peak off, zh", "updatelimitvalues2", 3, peak(3, 400, 0), 1, "label_limit23", kOffZh);
        // Out of range: no label changes.
        for (const char *s :
             {"updategainvalues", "updatedelayvalues", "updatelimitvalues", "updatelimitvalues2"})
            for (int i : {-1, QByteArray(s).endsWith('2') ? 8 : 12})
                QTest::addRow("%s %d", s, i) << s << i << Setup(limit(0, 0, 1)) << 0 << ""
                                             << "";
    }
    void valuelabels()
    {
        QFETCH(QString, slot);
        QFETCH(int, index);
        QFETCH(Setup, setup);
        QFETCH(int, language);
        QFETCH(QString, label);
        QFETCH(QString, text);
        gGlobalContrl->setlanguage(language);
        setup(*gMainApp, *f.dev);
        const QStringList before = texts(f.page.get());
        QVERIFY(QMetaObject::invokeMethod(f.page.get(), qPrintable(slot), Q_ARG(int, index)));
        if (label.isEmpty())
            QCOMPARE(texts(f.page.get()), before);
        else
            QCOMPARE(f.label(label)->text(), text);
    }

    void bypasscolours()
    {
        for (int ch = 0; ch < 12; ++ch)
            f.dev->setpeqbypassall(ch, ch == 1 || ch == 5);
        f.page->updatepeqbypass();
        for (int ch = 0; ch < 12; ++ch)
            QCOMPARE(f.label(ch ? QStringLiteral("peqbypass_%1").arg(ch < 5 ? ch + 1 : ch + 2)
                                : QStringLiteral("peqbypass"))
                         ->styleSheet(),
                     QString(ch == 1 || ch == 5 ? "color: rgb(84,84, 84);" : "color: rgb(152,176, 255);"));
    }

    void lockimage_data()
    {
        QTest::addColumn<int>("com");
        QTest::addColumn<int>("tcp");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("image"); // empty: hidden
        QTest::addColumn<QRect>("rect");
        QTest::newRow("1") << 1 << 0 << 1 << "amainlock01" << QRect(70, 0, 805, 610);
        QTest::newRow("2, network") << 0 << 1 << 2 << "amainlock02" << QRect(73, -2, 795, 610);
        QTest::newRow("3, no link") << 0 << 0 << 3 << "" << QRect();
        QTest::newRow("unknown") << 1 << 0 << 5 << "" << QRect();
    }
    void lockimage()
    {
        QFETCH(int, com);
        QFETCH(int, tcp);
        QFETCH(int, state);
        QFETCH(QString, image);
        QFETCH(QRect, rect);
        QWidget *lock = f.widget("widgetlockback");
        lock->show();
        f.dev->setcomconnected(com);
        f.dev->settcpconnected(tcp);
        f.dev->setlocktype(state);
        f.page->updatemainlock();
        QCOMPARE(lock->isHidden(), image.isEmpty());
        if (!image.isEmpty()) {
            QCOMPARE(lock->styleSheet(),
                     QStringLiteral("background-image:url(:/back/skin/%1.png);").arg(image));
            QCOMPARE(lock->geometry(), rect);
        }
    }

    void mainview_data()
    {
        QTest::addColumn<QList<int>>("views");
        QTest::addColumn<QStringList>("hidden");
        const QStringList type22{"widgetintone_4", "widgetout_7", "widgetout_8", "btnoutD",  "btnoutD_2",
                                 "btnoutD_3",      "btnoutD_4",   "btnoutD_5",   "btnoutD_6"};
        const QStringList type20 =
            type22 + QStringList{"widgetintone_3", "widgetout_5", "widgetout_6", "btnoutC",  "btnoutC_2",
                                 "btnoutC_3",      "btnoutC_4",   "btnoutC_5",   "btnoutC_6"};
        QTest::newRow("type 24") << QList<int>{0} << QStringList();
        QTest::newRow("type 22") << QList<int>{1} << type22;
        QTest::newRow("type 20") << QList<int>{2} << type20;
        QTest::newRow("type 20 then 24") << QList<int>{2, 0} << QStringList();
        QTest::newRow("type 20 then view -1") << QList<int>{2, -1} << type20;
    }
    void mainview()
    {
        QFETCH(QList<int>, views);
        QFETCH(QStringList, hidden);
        for (int v : views)
            f.page->updatemainview(v);
        QStringList got;
        for (QWidget *w : f.page->findChildren<QWidget *>())
            if (w->isHidden() && w->objectName() != "widgetlockback")
                got << w->objectName();
        got.sort();
        hidden.sort();
        QCOMPARE(got, hidden);
    }

    // The language switch rewords "Off" routing labels and re-skins the mutes;
    // labels with letters stay.
    void language()
    {
        f.click("btnoutA_2");
        for (int ch = 0; ch < 12; ++ch)
            f.dev->setmute(ch, ch == 0 || ch == 9);
        gGlobalContrl->setlanguage(1);
        gGlobalContrl->emitlanguage();
        QCOMPARE(f.label("labelout1")->text(), kOffZh);
        QCOMPARE(f.label("labelout2")->text(), QStringLiteral("A   "));
        const QString skin = QStringLiteral("background-image:url(:/buttons/skin/%1);");
        QCOMPARE(f.button("btninmute1")->styleSheet(), skin.arg("inputbackmute01_chs.png"));
        QCOMPARE(f.button("btninmute1_3")->styleSheet(), skin.arg("inputback-mute_chs.png"));
        QCOMPARE(f.button("btnoutmute_6")->styleSheet(), skin.arg("outbackmute01_chs.png"));
        QCOMPARE(f.button("btnoutmute")->styleSheet(), skin.arg("outbackmute_chs.png"));
        f.click("btnoutA_2"); // the last input taken away reads the Chinese off word
        QCOMPARE(f.label("labelout2")->text(), kOffZh);
        gGlobalContrl->setlanguage(0);
        gGlobalContrl->emitlanguage();
        QCOMPARE(f.label("labelout2")->text(), QStringLiteral("Off"));
        QCOMPARE(f.button("btnoutmute_6")->styleSheet(), skin.arg("outbackmute01.png"));
    }

    // Page buttons: channel to the controller, reload signal, pages shown (as
    // the lock state allows) and the page number for the main window.
    void pagebuttons_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("lock");
        QTest::addColumn<QList<int>>("channels"); // gain, delay, EQ, limiter, peak output, graphic EQ
        QTest::addColumn<QStringList>("emits");
        QTest::addColumn<QStringList>("shown");
        auto row = [](const char *b, int lock, QList<int> ch, QStringList e, QStringList s) {
            QTest::newRow(qPrintable(QStringLiteral("%1 lock %2").arg(b).arg(lock)))
                << b << lock << ch << e << s;
        };
        const QStringList eqout{"updateeqdlg", "updatelimitdlg2", "page 3"};
        row("btningain1", 0, {1, 0, 0, 0, -1, 0}, {"updategaindlg", "page 1"}, {"gain"});
        row("btnoutgain2_8", 1, {12, 0, 0, 0, -1, 0}, {"updategaindlg", "page 1"}, {"gain"});
        row("btnindelay1_5", 0, {0, 4, 0, 0, -1, 0}, {"updatedelaydlg", "page 2"}, {"delay"});
        // IN-D's EQ button opens the EQ page only: inputs have no peak limiter.
        row("btneq1_5", 0, {0, 0, 4, 0, -1, 0}, {"updateeqdlg", "page 3"}, {"eq"});
        row("btnouteq", 0, {0, 0, 5, 0, 0, 0}, eqout, {"limit2", "eq"});
        // OUT2's EQ button opens the peak-limiter page like its neighbours.
        row("btnouteq_2", 0, {0, 0, 6, 0, 1, 0}, eqout, {"limit2", "eq"});
        row("btnoutlimit_3", 0, {0, 0, 0, 7, -1, 0}, {"updatelimitdlg", "page 4"}, {"limit"});
        row("btninlimit_2", 0, {0, 0, 0, 2, -1, 0}, {"updatelimitdlg"}, {"limit"});
        row("btnoutlimit_27", 0, {0, 0, 0, 0, 7, 0}, {"updatelimitdlg2", "page 5"}, {"limit2"});
        // A page the lock keeps closed is not shown, and its page button not lit.
        row("btningain1", 2, {1, 0, 0, 0, -1, 0}, {"updategaindlg"}, {});
        row("btnouteq_8", 4, {0, 0, 12, 0, 7, 0}, {"updateeqdlg", "updatelimitdlg2"}, {});
        row("geq 12", 0, {0, 0, 0, 0, -1, 12}, {"updategeqdlg"}, {"geq"});
    }
    void pagebuttons()
    {
        QFETCH(QString, button);
        QFETCH(int, lock);
        QFETCH(QList<int>, channels);
        QFETCH(QStringList, emits);
        QFETCH(QStringList, shown);
        ShowLog log;
        QVector<QWidget *> pages;
        using View = std::pair<MainApp::View, const char *>;
        for (const View &v : {View{MainApp::GainView, "gain"}, View{MainApp::DelayView, "delay"},
                              View{MainApp::PeqView, "eq"}, View{MainApp::GeqView, "geq"},
                              View{MainApp::LimitView, "limit"}, View{MainApp::Limit2View, "limit2"}}) {
            pages << new QWidget;
            pages.last()->setObjectName(v.second);
            pages.last()->installEventFilter(&log);
            gMainApp->setview(v.first, pages.last());
        }
        gMainApp->setlimit2channel(-1);
        f.dev->setlocktype(lock);
        QStringList emitted;
        FormMainView *p = f.page.get();
        using Reload = std::pair<void (FormMainView::*)(), const char *>;
        for (const Reload &r : {Reload{&FormMainView::updategaindlg, "updategaindlg"},
                                Reload{&FormMainView::updatedelaydlg, "updatedelaydlg"},
                                Reload{&FormMainView::updategeqdlg, "updategeqdlg"},
                                Reload{&FormMainView::updateeqdlg, "updateeqdlg"},
                                Reload{&FormMainView::updatelimitdlg, "updatelimitdlg"},
                                Reload{&FormMainView::updatelimitdlg2, "updatelimitdlg2"}})
            connect(p, r.first, this, [&emitted, r] { emitted << r.second; });
        connect(p, &FormMainView::sChangeButtonview, this,
                [&](int n) { emitted << QString("page %1").arg(n); });

        if (button == "geq 12")
            p->on_btngeq_12_clicked();
        else
            f.click(button);

        QCOMPARE(
            QList<int>({gMainApp->getgainviewch(), gMainApp->getdelayviewch(), gMainApp->geteqviewch(),
                        gMainApp->getlimitviewch(), gMainApp->getlimit2channel(), gMainApp->getgeqviewch()}),
            channels);
        QCOMPARE(emitted, emits);
        QCOMPARE(log.shown, shown);
        qDeleteAll(pages);
    }
};

QTEST_MAIN(TstFormMainView)
#include "tst_formmainview.moc"
