// The link dialog as a user works it, on an X server of the test's own
// (Xvfb, no window manager): opened by the tool bar, the pointer moved onto
// each button in steps and clicked, the box closed with Return, all through
// the X server, against the stand-in. The processor misses the second Set
// Link while a kept-back copy of the first acknowledgement arrives, or the
// line drops while the program is read back. Without Xvfb the test skips.

#include "devicefixture.h"
#include "dialogfixture.h"
#include "dialoglink.h"
#include "formtoolbutton.h"
#include "xinput.h"
#include "xstandintest.h"
#include "xvfbserver.h"

#include <QElapsedTimer>
#include <QMessageBox>
#include <QSignalSpy>
#include <QWindow>

#include "xlib.h"

#include <functional>

using standin::Fault;

namespace
{
// A box as the user saw it: the real message box, recorded on the way.
class RecordingPrompts : public PromptBackend
{
public:
    RecordingPrompts()
        : m_shown(Prompts::backend())
    {
        Prompts::setBackend(this);
    }
    ~RecordingPrompts() override { Prompts::setBackend(nullptr); }
    QStringList boxes;

    QMessageBox::StandardButton message(QWidget *parent, Icon icon, const QString &title, const QString &text,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override
    {
        const char *const kinds[] = {"information", "warning", "critical", "question"};
        boxes << QString::fromLatin1(kinds[int(icon)]) + '|' + title + '|' + text;
        return m_shown->message(parent, icon, title, text, buttons, defaultButton);
    }
    bool confirm(QWidget *parent, const QString &title, const QString &text, const QString &acceptText,
                 const QString &rejectText) override
    {
        return m_shown->confirm(parent, title, text, acceptText, rejectText);
    }
    QString openFileName(QWidget *, const QString &, const QString &, const QString &) override
    {
        return QString();
    }
    QString saveFileName(QWidget *, const QString &, const QString &, const QString &) override
    {
        return QString();
    }

private:
    PromptBackend *m_shown;
};

// Steps of a user's hand, one at a time on a timer, so that they run while
// the dialog's own modal loop (and its waits) run.
class Hand : public QObject
{
public:
    using Step = std::function<bool()>; // true when done

    explicit Hand(Display *x)
        : x(x)
    {
        connect(&timer, &QTimer::timeout, this, [this]() {
            while (!steps.isEmpty() && steps.first()())
                steps.removeFirst();
            if (steps.isEmpty())
                timer.stop();
        });
    }
    void start() { timer.start(20); }
    bool done() const { return steps.isEmpty(); }

    void then(const Step &step) { steps << step; }
    void waitfor(const std::function<bool()> &condition) { then(condition); }
    // The pointer moves onto the widget's middle in six steps, then clicks.
    void click(const std::function<QWidget *()> &widget)
    {
        auto step = std::make_shared<int>(0);
        auto from = std::make_shared<QPoint>();
        then([this, widget, step, from]() {
            QWidget *w = widget();
            if (!w || !w->isVisible() || !w->window()->windowHandle() ||
                !w->window()->windowHandle()->isExposed())
                return false;
            if (*step == 0)
                *from = pointer;
            const QPoint to = w->mapToGlobal(w->rect().center());
            ++*step;
            pointer = *from + (to - *from) * *step / 6;
            xinput::move(x, pointer);
            if (*step < 6)
                return false;
            xinput::click(x, pointer, 30);
            return true;
        });
    }
    void key(unsigned long keysym)
    {
        then([this, keysym]() {
            const KeyCode code = XKeysymToKeycode(x, keysym);
            XTestFakeKeyEvent(x, code, True, CurrentTime);
            XSync(x, False);
            XTestFakeKeyEvent(x, code, False, CurrentTime);
            XSync(x, False);
            return true;
        });
    }

private:
    Display *x;
    QTimer timer;
    QList<Step> steps;
    QPoint pointer{5, 5};
};

template <class T> T *modal()
{
    return qobject_cast<T *>(QApplication::activeModalWidget());
}

bool exposed(QWidget *w)
{
    return w && w->isVisible() && w->windowHandle() && w->windowHandle()->isExposed();
}
} // namespace

class TstXLinkDialog : public XStandinTest
{
    Q_OBJECT
public:
    using XStandinTest::XStandinTest;

private:
    DeviceData *cur() const { return fx.cur(); }
    QByteArray modelmasks() const { return fx.linkmasks(); }

private slots:
    void initTestCase()
    {
        openx();
        if (QTest::currentTestFailed())
            return;
        fx.open();
    }
    void cleanupTestCase()
    {
        if (x) {
            fx.close();
            closex();
        }
    }
    void init()
    {
        MainApp::settimescale(0.05);
        s.clearfaults();
        s.update(fx.unit, [](standin::UnitState &u) { u.image = standin::factoryimage(); });
        fx.loadimage(standin::factoryimage());
        s.clearframes();
    }
    void cleanup()
    {
        s.clearfaults();
        s.restoreline(fx.line);
        MainApp::settimescale(1);
    }

    // Set Link (IN-A with IN-B) acknowledged; IN-C joins, Set Link again;
    // the box closed with Return shows what the processor says, the matrix
    // what it holds, and the model equals the processor.
    void setlink_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QByteArray>("masks");
        QTest::addColumn<QVector<int>>("rows");
        QTest::newRow("stale acknowledgement")
            << "stale"
            << "critical|Set Link Failed|please try again" << QByteArray::fromHex("030304080102040810204080")
            << QVector<int>{0, 0, 2, 3};
        QTest::newRow("line dropped in the read-back")
            << "drop"
            << "warning|Set Link|The link was set, but the current program could not be read completely"
            << QByteArray::fromHex("070707080102040810204080") << QVector<int>{0, 0, 0, 3};
    }
    void setlink()
    {
        QFETCH(QString, fault);
        QFETCH(QString, box);
        QFETCH(QByteArray, masks);
        QFETCH(QVector<int>, rows);
        Fault f;
        f.kind = fault == "stale" ? Fault::StaleDuplicate : Fault::DropLink;
        f.command = fault == "stale" ? 0x54 : 0x61;
        f.times = 1;
        f.ignoreNext = true;
        if (fault == "drop") {
            MainApp::settimescale(0.01);
            f.packet = 5;
        }
        RecordingPrompts prompts;
        FormToolButton *bar = fx.w->toolbarwidget();
        QSignalSpy relay(bar, &FormToolButton::updataallviews);
        Hand hand(x);
        const auto dialog = []() { return modal<DialogLink>(); };
        const auto child = [dialog](const char *name) {
            return [dialog, name]() -> QWidget * {
                DialogLink *d = dialog();
                return d ? d->findChild<QWidget *>(QLatin1String(name)) : nullptr;
            };
        };
        const auto idle = [&relay](int runs) {
            return [&relay, runs]() { return relay.count() == runs && !QApplication::overrideCursor(); };
        };
        hand.waitfor([dialog]() { return exposed(dialog()); });
        hand.click(child("rblinkb1"));
        hand.click(child("pushButton_link_2"));
        hand.waitfor(idle(1));
        hand.then([&]() {
            if (fault == "drop")
                s.addfault(f);
            return true;
        });
        hand.click(child("rblinkc1"));
        hand.click(child("pushButton_link_2"));
        hand.waitfor([]() { return exposed(modal<QMessageBox>()); });
        hand.key(XK_Return);
        QVector<int> shown;
        hand.waitfor([&]() {
            if (!dialog())
                return false;
            shown = dialog()->inputrows();
            return true;
        });
        hand.click(child("pushButton_close"));
        if (fault == "stale")
            s.addfault(f);
        hand.start();
        // A step that never comes true fails the case instead of hanging it.
        QElapsedTimer clock;
        clock.start();
        QTimer guard;
        connect(&guard, &QTimer::timeout, [&clock]() {
            if (clock.elapsed() > 20000)
                if (QWidget *w = QApplication::activeModalWidget())
                    w->close();
        });
        guard.start(200);
        bar->on_btnDownload_clicked();
        QVERIFY(hand.done());
        QCOMPARE(prompts.boxes.join('\n'), box);
        QCOMPARE(shown, rows);
        QCOMPARE(s.state(fx.unit).linkmasks(), masks);
        QCOMPARE(modelmasks(), masks);
        QCOMPARE(DeviceFixture::packed(cur()), s.state(fx.unit).image);
        QCOMPARE(relay.count(), 2); // both runs reload the pages
        QCOMPARE(int(gMainApp->inputlinkon), 1);
    }
};

int main(int argc, char **argv)
{
    return XvfbServer::runtest<TstXLinkDialog>(argc, argv);
}

#include "tst_xlinkdialog.moc"
