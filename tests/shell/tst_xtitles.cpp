// Message boxes under a window manager (openbox) on an X server of the
// test's own: the manager draws the box's title in its own font beside its
// frame buttons and cuts a title that does not fit ("Refre…ms List"). The
// title's text as drawn in the frame of a box is measured against the same
// title drawn in the frame of a wide window: each is the difference between
// the title bar with the title and with a blank one, so that the frame's
// buttons and fonts need not be known.

#include "longexchange.h"
#include "prompts.h"
#include "xscreen.h"
#include "xservertest.h"
#include "xvfbserver.h"
#include "xwindowmanager.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QProgressDialog>
#include <QRect>
#include <QStandardPaths>
#include <QTimer>
#include <QtTest>

#include <functional>

#include "xlib.h"

namespace
{
constexpr int kWaitMs = 5000;
} // namespace

class TstXTitles : public XServerTest
{
    Q_OBJECT
    XWindowManager manager;

    // The title bar of a framed window on the screen, empty while it has no frame.
    QRect titlebar(QWidget *w) const
    {
        const Window id = Window(w->winId());
        QRect bar;
        const xscreen::Property extents = xscreen::property(x, id, "_NET_FRAME_EXTENTS", 4);
        if (extents.count == 4) {
            const long *e =
                reinterpret_cast<const long *>(extents.data.constData()); // left, right, top, bottom
            int rx = 0, ry = 0;
            Window child = 0;
            XWindowAttributes a;
            if (e[2] > 0 && XGetWindowAttributes(x, id, &a) &&
                XTranslateCoordinates(x, id, DefaultRootWindow(x), 0, 0, &rx, &ry, &child))
                bar = QRect(int(rx - e[0]), int(ry - e[2]), int(a.width + e[0] + e[1]), int(e[2]));
        }
        return bar;
    }
    QImage grab(const QRect &r) const { return xscreen::grab(x, r); }
    // Width of the columns where two grabs differ, 0 when none.
    static int textspan(const QImage &a, const QImage &b)
    {
        if (a.size() != b.size())
            return -1;
        int first = -1, last = -1;
        for (int c = 0; c < a.width(); ++c)
            for (int r = 0; r < a.height(); ++r)
                if (a.pixel(c, r) != b.pixel(c, r)) {
                    if (first < 0)
                        first = c;
                    last = c;
                    break;
                }
        return first < 0 ? 0 : last - first + 1;
    }
    // Whether the keyboard goes to the window: the manager draws its frame
    // as the focused one's then.
    bool focused(QWidget *w) const
    {
        Window focus = 0;
        int revert = 0;
        XSync(x, False);
        XGetInputFocus(x, &focus, &revert);
        return focus == Window(w->winId());
    }
    // The window's title bar in *bar and its picture as the manager drew it
    // for the window's present title: once the window is framed on the
    // screen with the keyboard, and the manager has handled every change sent
    // before and the server holds its drawing. A null picture when that never
    // came; `missed` then says what was missing.
    QImage drawnbar(QWidget *w, QRect *bar, const QString &step)
    {
        QGuiApplication::sync(); // the title handed to the server
        const bool shown = QTest::qWaitFor(
            [&]() {
                *bar = titlebar(w);
                return !bar->isEmpty() && viewable(w) && focused(w);
            },
            kWaitMs);
        if (!shown) {
            missed = QStringLiteral("%1: title bar %2x%3, %4, %5")
                         .arg(step)
                         .arg(bar->width())
                         .arg(bar->height())
                         .arg(viewable(w) ? "shown" : "not shown")
                         .arg(focused(w) ? "with the keyboard" : "without the keyboard");
            return QImage();
        }
        if (!XWindowManager::caughtup(x, kWaitMs)) {
            missed = step + QStringLiteral(": the manager never caught up with the window's changes");
            return QImage();
        }
        *bar = titlebar(w);
        return grab(*bar);
    }
    // The drawn width of the window's title: its framed title bar with the
    // title, then with a blank one, each as the manager drew it; -1 when
    // either was never drawn.
    int drawntitle(QWidget *w, const QString &title)
    {
        missed.clear();
        QRect bar, blankbar;
        const QImage with = drawnbar(w, &bar, QStringLiteral("with the title"));
        if (with.isNull())
            return -1;
        w->setWindowTitle(QStringLiteral(" "));
        const QImage without = drawnbar(w, &blankbar, QStringLiteral("with a blank title"));
        w->setWindowTitle(title);
        if (without.isNull())
            return -1;
        if (blankbar != bar) {
            missed = QStringLiteral("the title bar moved");
            return -1;
        }
        return textspan(with, without);
    }
    QString missed; // what the last measurement lacked

public:
    using XServerTest::XServerTest;

private slots:
    void initTestCase()
    {
        openx();
        QString why;
        if (!manager.start(x, &why)) {
            if (XvfbServer::mayskip() && QStandardPaths::findExecutable(QStringLiteral("openbox")).isEmpty())
                QSKIP(qPrintable(why));
            QFAIL(qPrintable(why));
        }
        QVERIFY(QTest::qWaitFor([this]() { return XWindowManager::announced(x); }, kWaitMs));
    }
    void cleanupTestCase()
    {
        Prompts::setBackend(nullptr);
        manager.stop();
        closex();
    }

    // The titles that were cut, in both languages, in an information box, in
    // a question and in the progress window of a long operation with its
    // Cancel button (made as the program page makes it: the button first,
    // then the title); each drawn whole.
    void wholetitle_data()
    {
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<bool>("progress");
        QTest::addColumn<QString>("title");
        QTest::newRow("refresh") << false << false << "Refresh Programs List";
        QTest::newRow("cancelled") << false << false << "Load All Data From PC Cancelled";
        QTest::newRow("set, cancelled") << false << false << "Set Project Lock Cancelled";
        QTest::newRow("Chinese") << false << false << QString::fromUtf8("从PC端加载全部数据已取消");
        QTest::newRow("question") << true << false << "Refresh Programs List";
        QTest::newRow("progress, refresh") << false << true << "Refresh Programs List";
        QTest::newRow("progress, load all") << false << true << "Load All Data From PC";
        QTest::newRow("progress, Chinese") << false << true << QString::fromUtf8("刷新程式列表");
    }
    void wholetitle()
    {
        QFETCH(bool, confirm);
        QFETCH(bool, progress);
        QFETCH(QString, title);

        QWidget wide;
        wide.setWindowTitle(title);
        wide.resize(1000, 120);
        wide.show();
        const int full = drawntitle(&wide, title);
        wide.hide();
        QVERIFY2(full > 0,
                 qPrintable(QStringLiteral("the manager drew no title on the wide window: ") + missed));

        QWidget parent;
        parent.resize(300, 200);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        if (progress) {
            QProgressDialog window(&parent);
            CancelButton cancel(&window, QStringLiteral("Cancel"));
            window.setMinimumDuration(0);
            window.setWindowTitle(title);
            window.setLabelText(title);
            window.setValue(40);
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            const int drawn = drawntitle(&window, title);
            QVERIFY2(drawn >= full - 2,
                     qPrintable(QStringLiteral("title drawn %1 px of %2 in a window %3 wide %4")
                                    .arg(drawn)
                                    .arg(full)
                                    .arg(window.width())
                                    .arg(missed)));
            return;
        }
        int inbox = -1;
        int boxwidth = 0;
        bool seen = false;
        QTimer poll;
        poll.setSingleShot(true);
        std::function<void()> look = [&]() {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || !box->isVisible() || seen) {
                poll.start(20);
                return;
            }
            seen = true;
            boxwidth = box->width();
            inbox = drawntitle(box, title);
            box->reject();
        };
        connect(&poll, &QTimer::timeout, this, [&]() { look(); });
        poll.start(20);
        if (confirm)
            Prompts::confirm(&parent, title, QStringLiteral("?"), QStringLiteral("Yes"),
                             QStringLiteral("No"));
        else
            Prompts::information(&parent, title, QStringLiteral("OK"));
        poll.stop();
        QVERIFY(seen);
        QVERIFY2(inbox >= full - 2, qPrintable(QStringLiteral("title drawn %1 px of %2 in a box %3 wide %4")
                                                   .arg(inbox)
                                                   .arg(full)
                                                   .arg(boxwidth)
                                                   .arg(missed)));
    }
};

int main(int argc, char **argv)
{
    return XvfbServer::runtest<TstXTitles>(argc, argv);
}

#include "tst_xtitles.moc"
