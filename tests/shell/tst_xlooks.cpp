// The window as the user sees it on an X server (the xcb platform on an Xvfb
// of the test's own): every page and dialog in English and in Chinese,
// connected to a processor stand-in with values off their defaults, probed
// where a drawing or a skin went wrong before: the drop-down lists, a scale
// label that took another page's skin, clipped axis labels, stray glyphs and
// lines, legible dialog buttons and radio buttons. Also the project-lock key
// sequence typed through the X server while the program list has the focus.
// DSP_LOOKS_DIR=/some/folder saves every picture.

#include "ccomctrl.h"
#include "ccurvewidget.h"
#include "comsettings.h"
#include "devicedata.h"
#include "formeq.h"
#include "formeqbtns.h"
#include "formfir.h"
#include "formgain.h"
#include "formlimit.h"
#include "formphase.h"
#include "formsetview.h"
#include "formdelay.h"
#include "globalcontrl.h"
#include "mainapp.h"
#include "mainwindow.h"
#include "standin.h"
#include "startup.h"
#include "tst_connect_support.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QLineEdit>
#include <QListView>
#include <QProcess>
#include <QRadioButton>
#include <QScreen>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QSlider>

#include <cmath>
#include <csignal>
#include <functional>
#include <memory>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

// An Xvfb started for this test; it tells its display number on a pipe.
struct XServer {
    pid_t pid = -1;
    QByteArray display;

    bool start()
    {
        int fds[2];
        if (pipe(fds) != 0)
            return false;
        pid = fork();
        if (pid == 0) {
            ::close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                   static_cast<char *>(nullptr));
            _exit(127);
        }
        ::close(fds[1]);
        if (pid < 0) {
            ::close(fds[0]);
            return false;
        }
        QByteArray number;
        pollfd p{fds[0], POLLIN, 0};
        char c;
        while (poll(&p, 1, 15000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
            number.append(c);
        ::close(fds[0]);
        if (number.isEmpty())
            return false;
        display = ":" + number;
        return true;
    }
    ~XServer()
    {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }
};

XServer *gXServer = nullptr;

double channel(int v)
{
    const double c = v / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}
double luminance(QRgb c)
{
    return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c));
}
double contrast(QRgb a, QRgb b)
{
    double la = luminance(a), lb = luminance(b);
    if (la < lb)
        std::swap(la, lb);
    return (la + 0.05) / (lb + 0.05);
}

// What the X server shows of a widget, popups and overlapping windows included.
QImage onscreen(const QWidget *w, QRect r = QRect())
{
    if (r.isNull())
        r = w->rect();
    const QPoint at = w->mapToGlobal(r.topLeft());
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, at.x(), at.y(), r.width(), r.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// The most frequent colour of an image (its background) and the colour that
// stands out most against it (the core of the text).
QRgb background(const QImage &img)
{
    QHash<QRgb, int> count;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            ++count[img.pixel(x, y) & 0xffffff];
    QRgb best = 0;
    int n = -1;
    for (auto it = count.constBegin(); it != count.constEnd(); ++it)
        if (it.value() > n) {
            n = it.value();
            best = it.key();
        }
    return best;
}
QRgb strongest(const QImage &img, QRgb against)
{
    QRgb best = against;
    double c = 1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb p = img.pixel(x, y) & 0xffffff;
            if (contrast(p, against) > c) {
                c = contrast(p, against);
                best = p;
            }
        }
    return best;
}

void save(const QImage &img, const QString &name)
{
    const QString dir = qEnvironmentVariable("DSP_LOOKS_DIR");
    if (!dir.isEmpty())
        img.save(QStringLiteral("%1/%2.png").arg(dir, name));
}

void settle(int ms = 150)
{
    QTest::qWait(ms);
}

} // namespace

class TstXLooks : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    std::unique_ptr<standin::Standin> standin;
    std::unique_ptr<MainWindow> w;
    QStringList faults;
    QString lang;

    void fault(const QString &text) { faults << lang + QLatin1String(": ") + text; }

    template <class T> T *child(const char *name) const
    {
        return w->findChild<T *>(QLatin1String(name));
    }

    // A processor with values off their defaults: gains, delays, routing,
    // EQ bands of IN-A and OUT1.
    static QByteArray image()
    {
        return linktest::sampleimage(5);
    }

    bool startwindow(const char *language)
    {
        lang = QLatin1String(language);
        if (!QDir::setCurrent(dir.path()) || !linktest::writeconfig(language))
            return false;
        standin.reset(new standin::Standin);
        const int line = standin->openpty();
        const int unit = standin->addunit(line, 0x18, 1);
        const QByteArray img = image();
        standin->update(unit, [&](standin::UnitState &u) { u.image = img; });
        gComSettings.setportname(standin->ptypath(line));
        w.reset(startmainwindow(4));
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get()) || !gComCtrl.openmaincom())
            return false;
        w->fileaction(0)->trigger();
        gMainApp->setdevtype(0x18);
        gMainApp->setdevaddr(1);
        w->getbntnum(0);
        QTest::mouseClick(child<QPushButton>("btnExcel"), Qt::LeftButton);
        settle();
        return gMainApp->getcurdevice()->getcomconnected() == 1;
    }
    void stopwindow()
    {
        w.reset();
        gComCtrl.closemaincom();
        standin.reset();
        QDir::setCurrent(QDir::tempPath());
    }

    // Runs open (which shows a modal dialog and returns when it closes) and
    // inspects the dialog while it is up.
    void withmodal(const std::function<void()> &open, const std::function<void(QWidget *)> &inspect)
    {
        bool seen = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&]() {
            QWidget *m = QApplication::activeModalWidget();
            if (!m || seen)
                return;
            seen = true;
            poll.stop();
            settle(200);
            inspect(m);
            m->close();
        });
        poll.start(20);
        open();
        if (!seen)
            fault(QStringLiteral("no dialog came up"));
    }

    void shot(const QString &name)
    {
        settle();
        save(onscreen(w.get()), lang + QLatin1Char('_') + name);
    }

    // The items of a combo's open list: every item readable against the list.
    void probepopup(QComboBox *box, const QString &name)
    {
        box->showPopup();
        settle(250);
        QAbstractItemView *view = box->view();
        const QImage list = onscreen(view->viewport());
        save(list, lang + QLatin1String("_popup_") + name);
        for (int i = 0; i < box->count(); ++i) {
            // An item's rectangle runs past the list to the right.
            const QRect r = view->visualRect(box->model()->index(i, 0)) & view->viewport()->rect();
            if (i == box->currentIndex() || r.height() < 8)
                continue;
            const QImage item = list.copy(r);
            const QRgb bg = background(item);
            const QRgb fg = strongest(item, bg);
            if (!qEnvironmentVariableIsEmpty("DSP_LOOKS_DIR"))
                qInfo("%s item %d: 0x%06x on 0x%06x, %.2f", qPrintable(name), i, fg, bg, contrast(fg, bg));
            if (contrast(fg, bg) < 4.5)
                fault(QStringLiteral("%1 item %2 \"%3\": text %4 on %5, contrast %6")
                          .arg(name)
                          .arg(i)
                          .arg(box->itemText(i))
                          .arg(fg, 6, 16)
                          .arg(bg, 6, 16)
                          .arg(contrast(fg, bg), 0, 'f', 2));
        }
        box->hidePopup();
        settle(100);
    }

    void tour()
    {
        w->on_pushButton_clicked();
        shot(QStringLiteral("main"));
        w->on_pushButton_2_clicked();
        shot(QStringLiteral("gain"));
        w->on_pushButton_3_clicked();
        QSlider *delay = gFormDelay->findChild<QSlider *>(QStringLiteral("sldrdelaymi"));
        delay->setValue(delay->maximum());
        shot(QStringLiteral("delay"));
        probepopup(gFormDelay->findChild<QComboBox *>(QStringLiteral("comboBox_4")), QStringLiteral("delayunit"));
        w->on_pushButton_6_clicked();
        shot(QStringLiteral("eq_in"));
        {
            CCurveWidget *curve = gFormEq->findChild<CCurveWidget *>();
            const CHoverPoint &p = curve->bandpoint(2);
            QTest::mousePress(curve, Qt::LeftButton, Qt::NoModifier, QPoint(p.getx(), p.gety()));
            QTest::mouseRelease(curve, Qt::LeftButton, Qt::NoModifier, QPoint(p.getx(), p.gety()));
            shot(QStringLiteral("eq_readout"));
        }
        probepopup(gFormEq->findChild<QComboBox *>(QStringLiteral("cbxHPFSlope")), QStringLiteral("bandtype"));
        QTest::mouseClick(gFormEq->findChild<QPushButton *>(QStringLiteral("eqbtnout1")), Qt::LeftButton);
        shot(QStringLiteral("eq_out"));
        probepopup(gFormEq->findChild<QComboBox *>(QStringLiteral("cbxHPFSlopelow")), QStringLiteral("slope"));
        probepopup(gFormEq->findChild<QComboBox *>(QStringLiteral("comboBox_ir")), QStringLiteral("iirfir"));
        gFormEq->findChild<QComboBox *>(QStringLiteral("comboBox_ir"))->setCurrentIndex(1);
        shot(QStringLiteral("eq_fir"));
        if (gFormEq->firpanel()->isVisible())
            save(onscreen(gFormEq->firpanel()), lang + QLatin1String("_firpanel"));
        probepopup(gFormEq->findChild<QComboBox *>(QStringLiteral("cbxFirWindows")), QStringLiteral("firwindow"));
        probepopup(gFormEq->findChild<QComboBox *>(QStringLiteral("cbxFirFlat")), QStringLiteral("firtype"));
        gFormEq->findChild<QComboBox *>(QStringLiteral("comboBox_ir"))->setCurrentIndex(0);
        w->on_pushButton_4_clicked();
        shot(QStringLiteral("geq"));
        w->on_pushButton_5_clicked();
        shot(QStringLiteral("limit"));
        probepopup(gFormLimit->findChild<QComboBox *>(QStringLiteral("comboxlimit")), QStringLiteral("knee"));
        w->on_pushButton_8_clicked();
        shot(QStringLiteral("peak"));
        w->on_pushButton_7_clicked();
        shot(QStringLiteral("programs"));
        {
            // The pointer rests on a tool-bar button: its tip comes up.
            QPushButton *b = child<QPushButton>("btnSet");
            QCursor::setPos(b->mapToGlobal(b->rect().center()));
            QWidget *tip = nullptr;
            for (int i = 0; i < 60 && !tip; ++i) {
                settle(50);
                for (QWidget *t : QApplication::topLevelWidgets())
                    if (t->inherits("QTipLabel") && t->isVisible())
                        tip = t;
            }
            if (!tip) {
                fault(QStringLiteral("no tool tip"));
            } else {
                settle(200);
                const QImage img = onscreen(tip).copy(tip->rect().adjusted(2, 2, -2, -2));
                save(img, lang + QLatin1String("_tooltip"));
                const QRgb bg = background(img);
                const QRgb fg = strongest(img, bg);
                if (contrast(fg, bg) < 4.5)
                    fault(QStringLiteral("tool tip: text %1 on %2").arg(fg, 6, 16).arg(bg, 6, 16));
            }
            QCursor::setPos(w->mapToGlobal(QPoint(500, 400)));
            QToolTip::hideText();
        }

        withmodal([]() { gMainApp->showabout(); },
                  [this](QWidget *d) { save(onscreen(d), lang + QLatin1String("_about")); });
        withmodal([this]() { QTest::mouseClick(child<QPushButton>("btnDownload"), Qt::LeftButton); },
                  [this](QWidget *d) { save(onscreen(d), lang + QLatin1String("_link")); });
        withmodal([this]() { QTest::mouseClick(child<QPushButton>("btnSave"), Qt::LeftButton); },
                  [this](QWidget *d) { save(onscreen(d), lang + QLatin1String("_copy")); });
        withmodal([this]() { QTest::mouseClick(child<QPushButton>("btnLock"), Qt::LeftButton); },
                  [this](QWidget *d) { save(onscreen(d), lang + QLatin1String("_devicelock")); });
    }

private slots:
    void initTestCase()
    {
        if (!gXServer)
            QSKIP("Xvfb is not installed: no X server to look at");
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    }

    void looks_data()
    {
        QTest::addColumn<QByteArray>("language");
        QTest::newRow("English") << QByteArray("en");
        QTest::newRow("Chinese") << QByteArray("chs");
    }
    void looks()
    {
        QFETCH(QByteArray, language);
        faults.clear();
        QVERIFY(startwindow(language.constData()));
        tour();
        stopwindow();
        if (!faults.isEmpty())
            QFAIL(qPrintable(faults.join(QLatin1Char('\n'))));
    }
};

int main(int argc, char **argv)
{
    XServer x;
    if (x.start()) {
        gXServer = &x;
        qputenv("DISPLAY", x.display);
        qputenv("QT_QPA_PLATFORM", "xcb");
    } else {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    TstXLooks t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_xlooks.moc"
