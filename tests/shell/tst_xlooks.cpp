// The window as the user sees it on an X server (the xcb platform on an Xvfb
// of the test's own): every page and dialog in English and in Chinese,
// connected to a processor stand-in with values off their defaults, probed
// where a drawing or a skin went wrong before: the drop-down lists, a scale
// label that took another page's skin, clipped axis labels, stray glyphs and
// lines, scale labels cut short, legible dialog buttons and radio buttons.
// Also through the X server: the project-lock keys typed in sequence and as
// a chord, faders dragged by the mouse against their scales, the page bar's
// lit button after clicks, and where the EQ page's panels come up.
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
#include "formlimit2.h"
#include "formphase.h"
#include "formsetview.h"
#include "formdelay.h"
#include "formgeq.h"
#include "globalcontrl.h"
#include "mainapp.h"
#include "mainwindow.h"
#include "sliderhandle.h"
#include "standin.h"
#include "standinwindow.h"
#include "startup.h"
#include "tst_connect_support.h"
#include "xvfbserver.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QLineEdit>
#include <QListView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QRegularExpression>
#include <QRadioButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionSlider>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

namespace
{

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

// Columns of an image that hold ink: a pixel standing out from the background.
bool inkincolumn(const QImage &img, int x, QRgb bg)
{
    for (int y = 0; y < img.height(); ++y)
        if (contrast(img.pixel(x, y) & 0xffffff, bg) > 2.0)
            return true;
    return false;
}

bool reddish(QRgb c)
{
    return qRed(c) > 50 && qRed(c) > 2 * qGreen(c) && qRed(c) > 2 * qBlue(c);
}

// Share of pixels that differ clearly between two images of one size.
double differing(const QImage &a, const QImage &b)
{
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            n += (qAbs(qRed(p) - qRed(q)) > 48 || qAbs(qGreen(p) - qGreen(q)) > 48 ||
                  qAbs(qBlue(p) - qBlue(q)) > 48)
                     ? 1
                     : 0;
        }
    return double(n) / qMax(1, a.width() * a.height());
}

// xdotool, typing through the X server as a keyboard would.
bool xdotool(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
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

// The number a scale label shows ("+15", "0dB", " -10"), or NaN for another text.
double scalelevel(const QString &text)
{
    QString t = text.trimmed();
    if (t.endsWith(QLatin1String("dB"), Qt::CaseInsensitive))
        t.chop(2);
    bool ok = false;
    const double v = t.toDouble(&ok);
    return ok ? v : std::nan("");
}

// A vertical fader's scale: the levels of the number labels beside it, each
// at the global y of its centre, top to bottom.
QVector<QPointF> faderscale(const QSlider *s)
{
    QVector<QPointF> marks; // x: global y, y: level
    const QRect at = s->geometry();
    for (QLabel *l : s->parentWidget()->findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly)) {
        const double level = scalelevel(l->text());
        const QRect r = l->geometry();
        if (std::isnan(level) || r.center().y() < at.top() || r.center().y() > at.bottom() ||
            r.right() > at.left() + 2)
            continue;
        marks.append(QPointF(l->mapToGlobal(QPoint(0, 0)).y() + l->height() / 2.0, level));
    }
    std::sort(marks.begin(), marks.end(), [](const QPointF &a, const QPointF &b) { return a.x() < b.x(); });
    return marks;
}

// The scale's reading at global y, between its marks.
double readscale(const QVector<QPointF> &marks, double y)
{
    for (int i = 1; i < marks.size(); ++i)
        if (y <= marks[i].x() || i == marks.size() - 1) {
            const QPointF a = marks[i - 1], b = marks[i];
            return a.y() + (b.y() - a.y()) * (y - a.x()) / (b.x() - a.x());
        }
    return std::nan("");
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

    // The window joined to the processor. The connect and the program
    // page's read of the program names pace themselves by the product's
    // waits: scaled down here, they take a tenth of the seconds they would.
    bool startwindow(const char *language)
    {
        lang = QLatin1String(language);
        MainApp::settimescale(0.1);
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
        const QStringList boxes = connectsure(w.get());
        settle();
        if (!boxes.isEmpty())
            qWarning("%s", qPrintable(boxes.join(QStringLiteral("; "))));
        return boxes.isEmpty();
    }
    // The window with a 4-in 8-out device added and chosen, not connected:
    // for what needs no processor, quicker than startwindow. The pages'
    // reloads hold input back for a fixed time: scaled down as in
    // startwindow, as only their order counts here.
    bool startoffline(const char *language = "en")
    {
        lang = QLatin1String(language);
        MainApp::settimescale(0.1);
        if (!QDir::setCurrent(dir.path()) || !linktest::writeconfig(language))
            return false;
        w.reset(startmainwindow(4));
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get()))
            return false;
        w->fileaction(0)->trigger();
        gMainApp->setdevtype(0x18);
        gMainApp->setdevaddr(1);
        w->getbntnum(0);
        settle();
        return true;
    }
    // The program page reads the processor's 40 program names as it opens:
    // at the scale the program page's own tests read them with.
    void openprograms()
    {
        const double scale = MainApp::timescale();
        MainApp::settimescale(0.01);
        w->on_pushButton_7_clicked();
        MainApp::settimescale(scale);
    }
    void stopwindow()
    {
        w.reset();
        gComCtrl.closemaincom();
        standin.reset();
        QDir::setCurrent(QDir::tempPath());
        MainApp::settimescale(1);
    }

    // Runs open (which shows a modal dialog and returns when it closes) and
    // inspects the dialog while it is up.
    void withmodal(const std::function<void()> &open, const std::function<void(QWidget *)> &inspect)
    {
        bool seen = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&]() {
            // The main window itself may be modal: the dialog is a new one.
            QWidget *m = QApplication::activeModalWidget();
            if (!m || m == w.get() || seen)
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


    // A click through the X server on a widget's middle.
    bool xclick(const QWidget *widget)
    {
        const QPoint at = widget->mapToGlobal(widget->rect().center());
        return xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                        QStringLiteral("click"), QStringLiteral("1")});
    }

    // The page the document area shows: its topmost sub-window.
    static MainApp::View shownpage(QMdiArea *area)
    {
        const QList<QMdiSubWindow *> stack = area->subWindowList(QMdiArea::StackingOrder);
        for (int k = stack.size() - 1; k >= 0; --k)
            if (!stack[k]->isHidden())
                for (int v = 0; v < MainApp::ViewCount; ++v)
                    if (gMainApp->getview(MainApp::View(v)) == stack[k])
                        return MainApp::View(v);
        return MainApp::ViewCount;
    }

    // Every scale label of a page (levels, frequencies: "+12", "0dB",
    // "10kHZ", "1K28"), or every label of a page without a scale, shows its
    // text whole: the ink of the text, in the font the label is drawn with
    // on this X server, fits the label's box.
    void probescales(QWidget *page, const QString &name, bool scaleonly = true)
    {
        static const QRegularExpression scale(QStringLiteral("^\\s*[+-]?\\d+(\\.\\d+)?\\s*(dB|k?Hz|K\\d*)?\\s*$"),
                                              QRegularExpression::CaseInsensitiveOption);
        int probed = 0;
        for (QLabel *l : page->findChildren<QLabel *>()) {
            if (!l->isVisible() || l->text().trimmed().isEmpty() || (scaleonly && !scale.match(l->text()).hasMatch()))
                continue;
            ++probed;
            const int needs = l->fontMetrics().tightBoundingRect(l->text().trimmed()).width();
            const int has = l->contentsRect().width() - 2 * l->margin();
            if (needs > has)
                fault(QStringLiteral("%1: scale label %2 \"%3\" cut (needs %4 pixels, has %5)")
                          .arg(name, l->objectName(), l->text())
                          .arg(needs)
                          .arg(has));
        }
        if (probed == 0 && scaleonly)
            fault(QStringLiteral("%1: no scale label to probe").arg(name));
    }

    void tour()
    {
        w->on_pushButton_clicked();
        shot(QStringLiteral("main"));
        w->on_pushButton_2_clicked();
        shot(QStringLiteral("gain"));
        probescales(gFormGain, QStringLiteral("gain"));
        {
            // OUT6's scale label is named like the main page's IN-C name label:
            // it looks like its neighbour OUT5's, without that label's skin.
            QLabel *out6 = gFormGain->findChild<QLabel *>(QStringLiteral("label_133"));
            QLabel *out5 = gFormGain->findChild<QLabel *>(QStringLiteral("label_119"));
            if (!out5) {
                fault(QStringLiteral("no scale label beside OUT6's"));
            } else {
                const double d = differing(onscreen(out6), onscreen(out5));
                if (d > 0.03)
                    fault(QStringLiteral("OUT6 scale label differs from OUT5's in %1 of its pixels").arg(d));
            }
        }
        w->on_pushButton_3_clicked();
        QSlider *delay = gFormDelay->findChild<QSlider *>(QStringLiteral("sldrdelaymi"));
        delay->setValue(delay->maximum());
        shot(QStringLiteral("delay"));
        probepopup(gFormDelay->findChild<QComboBox *>(QStringLiteral("comboBox_4")), QStringLiteral("delayunit"));
        w->on_pushButton_6_clicked();
        shot(QStringLiteral("eq_in"));
        probescales(gFormEq, QStringLiteral("EQ"));
        {
            // No white glyph at the end of a value field.
            for (const char *name : {"Editeqfreq", "Editeqgain", "Editeqq", "Editeqfreq_4"}) {
                QLineEdit *e = gFormEq->findChild<QLineEdit *>(QLatin1String(name));
                const QImage end = onscreen(e, QRect(e->width() - 10, 0, 10, e->height()));
                for (int y = 0; y < end.height(); ++y)
                    for (int x = 0; x < end.width(); ++x)
                        if (luminance(end.pixel(x, y)) > 0.5) {
                            fault(QStringLiteral("light pixel at the end of %1").arg(QLatin1String(name)));
                            x = end.width();
                            y = end.height();
                        }
            }
            // No red column at the curve's left edge above 0 dB.
            CCurveWidget *curve = gFormEq->findChild<CCurveWidget *>();
            const QImage edge = onscreen(curve, QRect(0, 0, 6, 70));
            for (int x = 0; x < edge.width(); ++x) {
                int red = 0;
                for (int y = 0; y < edge.height(); ++y)
                    red += reddish(edge.pixel(x, y)) ? 1 : 0;
                if (red > 20)
                    fault(QStringLiteral("red column %1 at the curve's left edge").arg(x));
            }
        }
        {
            CCurveWidget *curve = gFormEq->findChild<CCurveWidget *>();
            const CHoverPoint &p = curve->bandpoint(2);
            QTest::mousePress(curve, Qt::LeftButton, Qt::NoModifier, QPoint(p.getx(), p.gety()));
            QTest::mouseRelease(curve, Qt::LeftButton, Qt::NoModifier, QPoint(p.getx(), p.gety()));
            shot(QStringLiteral("eq_readout"));
            // The read-out lies inside the plot, on no other band point.
            QFontMetrics fm(curve->font());
            const QRect box = curve->readoutbox(p, fm.boundingRect(QRect(0, 0, 1000, 1000), 0,
                                                                   p.valueText().trimmed()).size());
            if (!curve->rect().contains(box))
                fault(QStringLiteral("read-out outside the plot"));
            for (int b = 0; b < CCurveWidget::kBands; ++b)
                if (b != 2 && curve->bandpoint(b).isVisible() && box.intersects(curve->bandpoint(b).rect()))
                    fault(QStringLiteral("read-out on band point %1").arg(b + 1));
        }
        probepopup(gFormEq->findChild<QComboBox *>(QStringLiteral("cbxHPFSlope")), QStringLiteral("bandtype"));
        QTest::mouseClick(gFormEq->findChild<QPushButton *>(QStringLiteral("eqbtnout1")), Qt::LeftButton);
        shot(QStringLiteral("eq_out"));
        {
            // Band 1 as an all-pass filter opens the phase panel: dark to its edges.
            gFormEq->findChild<QComboBox *>(QStringLiteral("cbxHPFSlope"))->setCurrentIndex(5);
            QTest::mouseClick(gFormEq->findChild<QPushButton *>(QStringLiteral("btn1eqbtn")), Qt::LeftButton);
            settle(300);
            Formeqbtns *bands = gFormEq->findChild<Formeqbtns *>();
            if (bands && bands->phasepanel()->isVisible()) {
                const QImage phase = onscreen(bands->phasepanel());
                save(phase, lang + QLatin1String("_phasepanel"));
                probescales(bands->phasepanel(), QStringLiteral("all pass panel"));
                for (const QPoint &at : {QPoint(2, phase.height() / 2), QPoint(phase.width() / 2, phase.height() - 2),
                                         QPoint(phase.width() - 2, phase.height() / 2), QPoint(phase.width() / 2, 1)})
                    if (luminance(phase.pixel(at)) > 0.3)
                        fault(QStringLiteral("light phase panel edge at %1,%2").arg(at.x()).arg(at.y()));
                bands->phasepanel()->hide();
            } else {
                fault(QStringLiteral("no phase panel for an all-pass band"));
            }
            gFormEq->findChild<QComboBox *>(QStringLiteral("cbxHPFSlope"))->setCurrentIndex(0);
        }
        probepopup(gFormEq->findChild<QComboBox *>(QStringLiteral("cbxHPFSlopelow")), QStringLiteral("slope"));
        probepopup(gFormEq->findChild<QComboBox *>(QStringLiteral("comboBox_ir")), QStringLiteral("iirfir"));
        gFormEq->findChild<QComboBox *>(QStringLiteral("comboBox_ir"))->setCurrentIndex(1);
        shot(QStringLiteral("eq_fir"));
        if (gFormEq->firpanel()->isVisible()) {
            const QImage fir = onscreen(gFormEq->firpanel());
            save(fir, lang + QLatin1String("_firpanel"));
            probescales(gFormEq->firpanel(), QStringLiteral("FIR panel"));
            // Dark to its edges: no light margin around the plot.
            for (const QPoint &at : {QPoint(2, fir.height() / 2), QPoint(fir.width() / 2, fir.height() - 2),
                                     QPoint(fir.width() - 2, fir.height() / 2), QPoint(fir.width() / 2, 1)})
                if (luminance(fir.pixel(at)) > 0.3)
                    fault(QStringLiteral("light FIR panel edge at %1,%2").arg(at.x()).arg(at.y()));
            if (gFormEq->firpanel()->width() < 450)
                fault(QStringLiteral("FIR panel narrower than its plot"));
        }
        probepopup(gFormEq->findChild<QComboBox *>(QStringLiteral("cbxFirWindows")), QStringLiteral("firwindow"));
        probepopup(gFormEq->findChild<QComboBox *>(QStringLiteral("cbxFirFlat")), QStringLiteral("firtype"));
        gFormEq->findChild<QComboBox *>(QStringLiteral("comboBox_ir"))->setCurrentIndex(0);
        w->on_pushButton_4_clicked();
        shot(QStringLiteral("geq"));
        probescales(gFormGeq, QStringLiteral("graphic EQ"));
        w->on_pushButton_5_clicked();
        shot(QStringLiteral("limit"));
        probescales(gFormLimit, QStringLiteral("limiter"));
        for (QLabel *l : gFormLimit->findChildren<QLabel *>()) {
            if (l->text() != QLatin1String("+20"))
                continue;
            // Whole: the text's ink ends before the label's last column.
            const QImage img = onscreen(l);
            const QRgb bg = background(img);
            if (inkincolumn(img, img.width() - 1, bg) || inkincolumn(img, 0, bg))
                fault(QStringLiteral("limiter axis label %1 \"+20\" clipped").arg(l->objectName()));
        }
        probepopup(gFormLimit->findChild<QComboBox *>(QStringLiteral("comboxlimit")), QStringLiteral("knee"));
        w->on_pushButton_8_clicked();
        shot(QStringLiteral("peak"));
        probescales(gFormLimit2, QStringLiteral("peak limiter"), false);
        openprograms();
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
                  [this](QWidget *d) {
                      save(onscreen(d), lang + QLatin1String("_about"));
                      for (QPushButton *b : d->findChild<QDialogButtonBox *>()->findChildren<QPushButton *>()) {
                          const QImage img = onscreen(b).copy(b->rect().adjusted(3, 3, -3, -3));
                          const QRgb bg = background(img);
                          const QRgb fg = strongest(img, bg);
                          if (contrast(fg, bg) < 4.5)
                              fault(QStringLiteral("about box button %1: text %2 on %3")
                                        .arg(b->text())
                                        .arg(fg, 6, 16)
                                        .arg(bg, 6, 16));
                      }
                  });
        auto radios = [this](QWidget *d, const char *name) {
            save(onscreen(d), lang + QLatin1Char('_') + QLatin1String(name));
            // Every radio's name whole in its place.
            for (QRadioButton *r : d->findChildren<QRadioButton *>())
                if (r->isVisible() && !r->text().isEmpty() && r->sizeHint().width() > r->width())
                    fault(QStringLiteral("%1: radio \"%2\" needs %3 pixels, has %4")
                              .arg(QLatin1String(name), r->text())
                              .arg(r->sizeHint().width())
                              .arg(r->width()));
            // A checked radio button stands out from an unchecked one.
            QRadioButton *on = nullptr, *off = nullptr;
            for (QRadioButton *r : d->findChildren<QRadioButton *>()) {
                if (r->isChecked() && r->isEnabled() && !on)
                    on = r;
                if (!r->isChecked() && r->isEnabled() && !off)
                    off = r;
            }
            if (!on || !off)
                return;
            QStyleOptionButton opt;
            opt.initFrom(on);
            const QRect mark = on->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &opt, on);
            const QImage a = onscreen(on, mark), b = onscreen(off, mark);
            double most = 1;
            for (int y = 0; y < a.height(); ++y)
                for (int x = 0; x < a.width(); ++x)
                    most = qMax(most, contrast(a.pixel(x, y), b.pixel(x, y)));
            if (most < 3.0)
                fault(QStringLiteral("%1: checked radio mark hardly differs (%2)").arg(QLatin1String(name)).arg(most));
        };
        withmodal([this]() { QTest::mouseClick(child<QPushButton>("btnDownload"), Qt::LeftButton); },
                  [&](QWidget *d) { radios(d, "link"); });
        withmodal([this]() { QTest::mouseClick(child<QPushButton>("btnSave"), Qt::LeftButton); },
                  [&](QWidget *d) { radios(d, "copy"); });
        withmodal([this]() { QTest::mouseClick(child<QPushButton>("btnLock"), Qt::LeftButton); },
                  [&](QWidget *d) {
                      // A lock type chosen: its mark stands out from the others'.
                      if (QRadioButton *r = d->findChild<QRadioButton *>(QStringLiteral("rbcopyb")))
                          r->setChecked(true);
                      settle();
                      radios(d, "devicelock");
                  });
    }

    // The fader drags share one offline window: each row sets its fader's
    // start value and releases the button at its end, so a row leaves the
    // next nothing it depends on. A failed row closes it, as does the next
    // function's first row.
    static bool shareswindow() { return qstrcmp(QTest::currentTestFunction(), "faderdrag") == 0; }

private slots:
    void init()
    {
        if (w && !shareswindow())
            stopwindow();
    }
    void cleanup()
    {
        if (!shareswindow() || QTest::currentTestFailed())
            stopwindow();
    }
    void cleanupTestCase() { stopwindow(); }
    void initTestCase() { QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb")); }

    // Shift, Alt, Q on the program page after the natural first click on
    // the program list: the project lock dialog opens. The keys pressed one
    // after another, or as a chord: Shift held, Alt held, then Q (the
    // keymap then reports Alt as Meta).
    void projectlockkeys_data()
    {
        QTest::addColumn<bool>("list"); // else a button of the page has the focus
        QTest::addColumn<bool>("chord");
        QTest::newRow("program list") << true << false;
        QTest::newRow("page button") << false << false;
        QTest::newRow("program list, chord") << true << true;
        QTest::newRow("page button, chord") << false << true;
    }
    void projectlockkeys()
    {
        QFETCH(bool, list);
        QFETCH(bool, chord);
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
            if (!XvfbServer::mayskip())
                QFAIL("xdotool is not installed (under CI)");
            QSKIP("xdotool is not installed");
        }
        faults.clear();
        QVERIFY(startwindow("en"));
        openprograms();
        settle();
        QTabWidget *tabs = gFormSetView->findChild<QTabWidget *>();
        QVERIFY(tabs);
        QTableWidget *table = tabs->currentWidget()->findChild<QTableWidget *>();
        QVERIFY(table);
        QWidget *target = table;
        // The natural first click on the list, through the X server; the
        // pointer stays over the window, which so keeps the keyboard.
        const QPoint at = table->viewport()->mapToGlobal(table->visualItemRect(table->item(0, 1)).center());
        QVERIFY(xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                         QStringLiteral("click"), QStringLiteral("1")}));
        QTRY_VERIFY(QApplication::focusWidget() == table || table->isAncestorOf(QApplication::focusWidget()));
        if (!list) {
            for (QPushButton *b : gFormSetView->findChildren<QPushButton *>())
                if (b->isVisible() && b->focusPolicy() != Qt::NoFocus && b != target)
                    target = b;
            target->setFocus(Qt::OtherFocusReason);
            QTRY_COMPARE(QApplication::focusWidget(), target);
        }
        QString opened;
        withmodal(
            [&]() {
                if (chord)
                    QVERIFY(xdotool({QStringLiteral("keydown"), QStringLiteral("shift"), QStringLiteral("sleep"),
                                     QStringLiteral("0.06"), QStringLiteral("keydown"), QStringLiteral("alt"),
                                     QStringLiteral("sleep"), QStringLiteral("0.06"), QStringLiteral("key"),
                                     QStringLiteral("q"), QStringLiteral("keyup"), QStringLiteral("alt"),
                                     QStringLiteral("keyup"), QStringLiteral("shift")}));
                else
                    QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("60"),
                                     QStringLiteral("shift"), QStringLiteral("alt"), QStringLiteral("q")}));
                QTRY_VERIFY_WITH_TIMEOUT(!opened.isEmpty(), 5000);
            },
            [&](QWidget *d) { opened = QString::fromLatin1(d->metaObject()->className()); });
        QCOMPARE(opened, QStringLiteral("DialogProjectLock"));
        stopwindow();
    }


    // A fader dragged by the mouse through the X server, pressed on its
    // handle's middle and moved in steps: at every step the handle stays
    // under the pointer and the value is the page's scale read at the handle.
    // The gain page's fader is the yardstick.
    void faderdrag_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<int>("start"); // raw value before the drag
        QTest::addColumn<int>("dy");    // pixels the pointer moves, down positive
        QTest::newRow("graphic EQ, 0 dB, 80 down") << "geq" << 300 << 80;
        QTest::newRow("graphic EQ, 0 dB, 43 up") << "geq" << 300 << -43;
        QTest::newRow("graphic EQ, -30 dB, 190 up") << "geq" << 0 << -190;
        QTest::newRow("graphic EQ, +15 dB, 120 down") << "geq" << 450 << 120;
        QTest::newRow("graphic EQ, -20 dB, 17 up") << "geq" << 100 << -17;
        QTest::newRow("gain, 0 dB, 35 up") << "gain" << 400 << -35;
        QTest::newRow("gain, +12 dB, 30 down") << "gain" << 520 << 30;
        QTest::newRow("gain, -24 dB, 56 down") << "gain" << 160 << 56;
        QTest::newRow("gain, -6 dB, 100 down") << "gain" << 340 << 100;
    }
    void faderdrag()
    {
        QFETCH(QString, page);
        QFETCH(int, start);
        QFETCH(int, dy);
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
            if (!XvfbServer::mayskip())
                QFAIL("xdotool is not installed (under CI)");
            QSKIP("xdotool is not installed");
        }
        if (!w)
            QVERIFY(startoffline());
        QSlider *s = nullptr;
        double (*db)(int) = nullptr;
        if (page == QLatin1String("geq")) {
            w->on_pushButton_4_clicked();
            s = gFormGeq->findChild<QSlider *>(QStringLiteral("slidergeqgain_5"));
            db = [](int raw) { return (raw - 300) / 10.0; };
        } else {
            w->on_pushButton_2_clicked();
            s = gFormGain->findChild<QSlider *>(QStringLiteral("vlSliderGain"));
            db = [](int raw) { return raw / 10.0 - 40; };
        }
        QVERIFY(s);
        s->setValue(start);
        settle();
        QVERIFY(s->isVisible());
        const QVector<QPointF> marks = faderscale(s);
        QVERIFY2(marks.size() >= 4, "no scale beside the fader");
        const double pixeldb = qAbs(marks.last().y() - marks.first().y()) / (marks.last().x() - marks.first().x());
        const QPoint from = s->mapToGlobal(handlerect(s).center());
        QVERIFY(xdotool({QStringLiteral("mousemove"), QString::number(from.x()), QString::number(from.y()),
                         QStringLiteral("mousedown"), QStringLiteral("1")}));
        settle(60);
        double worsthandle = 0, worstvalue = 0;
        const int steps = qMax(1, qAbs(dy) / 10);
        for (int i = 1; i <= steps; ++i) {
            const int y = from.y() + dy * i / steps;
            QVERIFY(xdotool({QStringLiteral("mousemove"), QString::number(from.x()), QString::number(y)}));
            QTRY_VERIFY_WITH_TIMEOUT(QCursor::pos().y() == y, 2000);
            settle(40);
            QVERIFY(s->isSliderDown());
            // The handle's middle against the pointer, and the value against
            // the scale read there.
            const double handle = s->mapToGlobal(handlerect(s).center()).y() + 0.5;
            worsthandle = qMax(worsthandle, qAbs(handle - y));
            worstvalue = qMax(worstvalue, qAbs(db(s->sliderPosition()) - readscale(marks, handle)));
        }
        QVERIFY(xdotool({QStringLiteral("mouseup"), QStringLiteral("1")}));
        settle(60);
        save(onscreen(s->parentWidget()), QStringLiteral("drag_") + page);
        qInfo("%s: handle off the pointer by up to %.1f px, value off the scale by up to %.2f dB "
              "(%.3f dB a pixel)",
              qPrintable(page), worsthandle, worstvalue, pixeldb);
        QVERIFY2(worsthandle <= 1.5, qPrintable(QStringLiteral("handle %1 px off the pointer").arg(worsthandle)));
        // The scale's labels stand on whole pixels, and so does the handle.
        QVERIFY2(worstvalue <= 2.5 * pixeldb,
                 qPrintable(QStringLiteral("value %1 dB off the scale at the handle").arg(worstvalue)));
    }

    // Every scale mark of the gain page faces the handle's middle at its
    // level, on every strip, in both languages: each label's middle and the
    // 0 dB button's, and each tick of the groove as the X server shows it
    // (every tick at a mark's level and every mark's level with a tick).
    void gainscale_data()
    {
        QTest::addColumn<QByteArray>("language");
        QTest::newRow("English") << QByteArray("en");
        QTest::newRow("Chinese") << QByteArray("chs");
    }
    void gainscale()
    {
        QFETCH(QByteArray, language);
        QVERIFY(startoffline(language.constData()));
        w->on_pushButton_2_clicked();
        settle();
        // The handle's middle (global y, between two rows) at a level.
        auto middle = [](QSlider *s, double db) {
            s->setValue(qRound((db + 40) * 10));
            const QRect h = handlerect(s);
            return s->mapToGlobal(h.topLeft()).y() + h.height() / 2.0;
        };
        const char *const zero[12] = {"Bttton0", "Button1", "Button3", "Button4",  "Button5",  "Button6",
                                      "Button7", "Button8", "Button9", "Button10", "Button11", "Button12"};
        double worstmark = 0, worsttick = 0;
        for (int n = 1; n <= 12; ++n) {
            const QString suffix = n == 1 ? QString() : QStringLiteral("_%1").arg(n);
            QSlider *s = gFormGain->findChild<QSlider *>(QStringLiteral("vlSliderGain") + suffix);
            QWidget *button = gFormGain->findChild<QWidget *>(QLatin1String(zero[n - 1]));
            QVERIFY(s && button && s->isVisible() && button->isVisible());
            QVector<QPointF> marks = faderscale(s);
            QCOMPARE(marks.size(), 7);
            marks.append(QPointF(button->mapToGlobal(QPoint(0, 0)).y() + button->height() / 2.0, 0));
            for (const QPointF &m : marks) {
                const double off = qAbs(middle(s, m.y()) - m.x());
                worstmark = qMax(worstmark, off);
                QVERIFY2(off <= 1.0,
                         qPrintable(QStringLiteral("strip %1: mark %2 dB %3 px off the handle's middle")
                                        .arg(n)
                                        .arg(m.y())
                                        .arg(off)));
            }
            // The ticks: rows of the groove's left edge that stand out from
            // that column, seen with the handle at the bottom (for the
            // upper ticks) and at the top (for the lower ones).
            QVector<double> ticks;
            for (const int value : {s->minimum(), s->maximum()}) {
                s->setValue(value);
                settle(60);
                const QRect h = handlerect(s);
                const QImage column = onscreen(s, QRect(3, 0, 1, s->height()));
                save(column, lang + QStringLiteral("_gainticks_%1_%2").arg(n).arg(value));
                const QRgb bg = background(column);
                for (int y = 1; y + 1 < column.height(); ++y) {
                    if (y >= h.top() - 1 && y <= h.bottom() + 1)
                        continue;
                    const bool tick = contrast(column.pixel(0, y) & 0xffffff, bg) > 1.5;
                    const bool above = contrast(column.pixel(0, y - 1) & 0xffffff, bg) > 1.5;
                    if (tick && !above && !ticks.contains(s->mapToGlobal(QPoint(0, y)).y() + 0.5))
                        ticks.append(s->mapToGlobal(QPoint(0, y)).y() + 0.5);
                }
            }
            std::sort(ticks.begin(), ticks.end());
            QVERIFY2(ticks.size() == marks.size(),
                     qPrintable(QStringLiteral("strip %1: %2 ticks for %3 marks")
                                    .arg(n)
                                    .arg(ticks.size())
                                    .arg(marks.size())));
            for (const QPointF &m : marks) {
                double nearest = 1e9;
                for (const double t : ticks)
                    nearest = qMin(nearest, qAbs(t - middle(s, m.y())));
                worsttick = qMax(worsttick, nearest);
                QVERIFY2(nearest <= 1.0,
                         qPrintable(QStringLiteral("strip %1: no tick within a pixel of the handle's "
                                                   "middle at %2 dB (nearest %3 px)")
                                        .arg(n)
                                        .arg(m.y())
                                        .arg(nearest)));
            }
        }
        qInfo("marks off the handle's middle by up to %.1f px, ticks by up to %.1f px (3.5 px a dB)",
              worstmark, worsttick);
    }

    // The gain page's lock badge is seen: at each lock state that opens the page
    // (Change&View keeps it closed), the badge of the overlay's image (drawn solid on the half
    // transparent dimming) lies inside the part of the page the window shows, and the X
    // server shows it there as drawn. A badge placed right of OUT8 lay outside
    // the window.
    void gainbadge_data()
    {
        QTest::addColumn<QByteArray>("language");
        QTest::addColumn<int>("lock");
        QTest::newRow("Change Only") << QByteArray("en") << 1;
        QTest::newRow("Change&Mute") << QByteArray("en") << 3;
        QTest::newRow("Chinese, Change Only") << QByteArray("chs") << 1;
        QTest::newRow("Chinese, Change&Mute") << QByteArray("chs") << 3;
    }
    void gainbadge()
    {
        QFETCH(QByteArray, language);
        QFETCH(int, lock);
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
            if (!XvfbServer::mayskip())
                QFAIL("xdotool is not installed (under CI)");
            QSKIP("xdotool is not installed");
        }
        QVERIFY(startwindow(language.constData()));
        gMainApp->getcurdevice()->setlocktype(lock);
        QVERIFY(xclick(child<QWidget>("pushButton_2")));
        settle(300);
        QWidget *overlay = gFormGain->findChild<QWidget *>(QStringLiteral("widgetgainlockback"));
        QVERIFY(overlay);
        QTRY_VERIFY(overlay->isVisible());
        static const QRegularExpression rule(
            QStringLiteral("#widgetgainlockback\\s*\\{[^}]*url\\(([^)]+)\\)"));
        const QRegularExpressionMatch m = rule.match(qApp->styleSheet());
        QVERIFY(m.hasMatch());
        const QImage img = QImage(m.captured(1)).convertToFormat(QImage::Format_ARGB32);
        QVERIFY2(!img.isNull(), qPrintable(m.captured(1)));
        // The badge: drawn solid over the dimming, which stays at most half opaque.
        QRect badge;
        for (int y = 0; y < qMin(img.height(), overlay->height()); ++y)
            for (int x = 0; x < qMin(img.width(), overlay->width()); ++x)
                if (qAlpha(img.pixel(x, y)) > 128)
                    badge |= QRect(x, y, 1, 1);
        QVERIFY2(badge.width() > 40 && badge.height() > 20, "the overlay's image holds no badge");
        QMdiArea *area = w->findChild<QMdiArea *>();
        QVERIFY(area);
        // The document area runs past the window's right edge: the window cuts it.
        const QRect shown = QRect(area->viewport()->mapToGlobal(QPoint(0, 0)), area->viewport()->size()) &
                            QRect(w->mapToGlobal(QPoint(0, 0)), w->size());
        const QRect at(overlay->mapToGlobal(badge.topLeft()), badge.size());
        QVERIFY2(shown.contains(at),
                 qPrintable(QStringLiteral("badge at %1,%2 %3x%4 outside the page's shown %5,%6 %7x%8")
                                .arg(at.x())
                                .arg(at.y())
                                .arg(at.width())
                                .arg(at.height())
                                .arg(shown.x())
                                .arg(shown.y())
                                .arg(shown.width())
                                .arg(shown.height())));
        // Its solid pixels (the box, the padlock, the text) reach the screen.
        // Shown to Qt is not yet painted on the X server: on a busy machine
        // the screen is read again until it holds the badge, for a while.
        int solid = 0, same = 0;
        QImage screen;
        QElapsedTimer painted;
        painted.start();
        do {
            if (solid > 0)
                settle(100);
            screen = onscreen(overlay, badge);
            solid = 0;
            same = 0;
            for (int y = 0; y < badge.height(); ++y)
                for (int x = 0; x < badge.width(); ++x) {
                    const QRgb p = img.pixel(badge.x() + x, badge.y() + y);
                    if (qAlpha(p) < 255)
                        continue;
                    ++solid;
                    const QRgb q = screen.pixel(x, y);
                    const int off =
                        qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) + qAbs(qBlue(p) - qBlue(q));
                    if (off <= 12)
                        ++same;
                }
        } while (same < solid * 9 / 10 && painted.elapsed() < 10000);
        save(screen,
             QStringLiteral("gainbadge_") +
                 QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('_')));
        QVERIFY2(same >= solid * 9 / 10,
                 qPrintable(QStringLiteral("%1 of %2 badge pixels on the screen").arg(same).arg(solid)));
    }

    // The page bar lights the button of the page shown, and no other, after
    // clicks through the X server: a page the device lock keeps closed is
    // neither shown nor lit, and a disconnect that brings the main page to
    // the front lights MAIN.
    void pagebar_data()
    {
        QTest::addColumn<int>("lock"); // the device's lock kind
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QString>("lit");
        QTest::newRow("gain") << 0 << QStringList{"pushButton_2"} << "pushButton_2";
        QTest::newRow("graphic EQ") << 0 << QStringList{"pushButton_4"} << "pushButton_4";
        QTest::newRow("program page, then disconnect") << 0 << QStringList{"pushButton_7", "btnExcel"} << "pushButton";
        QTest::newRow("locked Everything, GAIN") << 4 << QStringList{"pushButton_2"} << "pushButton";
        QTest::newRow("locked Everything, DELAY") << 4 << QStringList{"pushButton_3"} << "pushButton";
        QTest::newRow("locked Change&View, program page then PEQ")
            << 2 << QStringList{"pushButton_7", "pushButton_6"} << "pushButton_7";
    }
    void pagebar()
    {
        QFETCH(int, lock);
        QFETCH(QStringList, clicks);
        QFETCH(QString, lit);
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
            if (!XvfbServer::mayskip())
                QFAIL("xdotool is not installed (under CI)");
            QSKIP("xdotool is not installed");
        }
        // Only a disconnect needs the processor.
        QVERIFY(clicks.contains(QStringLiteral("btnExcel")) ? startwindow("en") : startoffline());
        gMainApp->getcurdevice()->setlocktype(lock);
        const struct {
            const char *button;
            MainApp::View view;
        } pages[] = {{"pushButton", MainApp::MainView},    {"pushButton_2", MainApp::GainView},
                     {"pushButton_3", MainApp::DelayView}, {"pushButton_4", MainApp::GeqView},
                     {"pushButton_5", MainApp::LimitView}, {"pushButton_6", MainApp::PeqView},
                     {"pushButton_7", MainApp::SetView},   {"pushButton_8", MainApp::Limit2View}};
        for (const QString &name : clicks) {
            QWidget *b = w->findChild<QWidget *>(name);
            QVERIFY(b);
            QVERIFY(xclick(b));
            settle(300);
            // Whatever box the click brought up goes away.
            if (QWidget *m = QApplication::activeModalWidget(); m && m != w.get())
                m->close();
        }
        if (clicks.contains(QStringLiteral("btnExcel")))
            QTRY_VERIFY(!gMainApp->getcurdevice()->getcomconnected());
        QMdiArea *area = w->findChild<QMdiArea *>();
        QVERIFY(area);
        MainApp::View expected = MainApp::ViewCount;
        for (const auto &p : pages)
            if (lit == QLatin1String(p.button))
                expected = p.view;
        QTRY_COMPARE(int(shownpage(area)), int(expected));
        shot(QStringLiteral("pagebar_") + QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('_')));
        for (const auto &p : pages)
            QVERIFY2(w->findChild<QPushButton *>(QLatin1String(p.button))->isChecked() == (lit == QLatin1String(p.button)),
                     p.button);
    }

    // The FIR and all pass panels come up inside the screen, beside the
    // main window where the screen has room, else off the EQ page's boxes
    // that turn them off (the FIR mode, type, window and order boxes, the
    // band type boxes) and off its channel buttons (OUT4 to OUT8 lay under
    // them once); with no room for them all, the page's other controls
    // (Bypass-all, band fields, the gain fader) may lie under a panel.
    void panelplace_data()
    {
        QTest::addColumn<bool>("fir"); // else the all pass panel
        QTest::addColumn<QPoint>("window"); // the main window's place; (-1, -1) centred
        QTest::newRow("FIR, window centred") << true << QPoint(-1, -1);
        QTest::newRow("all pass, window centred") << false << QPoint(-1, -1);
        QTest::newRow("FIR, window at the top left") << true << QPoint(0, 0);
        QTest::newRow("all pass, window at the top left") << false << QPoint(0, 0);
    }
    void panelplace()
    {
        QFETCH(bool, fir);
        QFETCH(QPoint, window);
        QVERIFY(startoffline());
        if (window.x() >= 0) {
            w->move(window);
            settle();
        }
        w->on_pushButton_6_clicked();
        QTest::mouseClick(gFormEq->findChild<QPushButton *>(QStringLiteral("eqbtnout1")), Qt::LeftButton);
        settle();
        QWidget *panel = nullptr;
        if (fir) {
            gFormEq->findChild<QComboBox *>(QStringLiteral("comboBox_ir"))->setCurrentIndex(1);
            panel = gFormEq->firpanel();
        } else {
            gFormEq->findChild<QComboBox *>(QStringLiteral("cbxHPFSlope"))->setCurrentIndex(5);
            QTest::mouseClick(gFormEq->findChild<QPushButton *>(QStringLiteral("btn1eqbtn")), Qt::LeftButton);
            panel = gFormEq->findChild<Formeqbtns *>()->phasepanel();
        }
        QTRY_VERIFY(panel->isVisible());
        settle(300);
        save(QGuiApplication::primaryScreen()->grabWindow(0).toImage(),
             QStringLiteral("panelplace_") + QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('_')));
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect at = panel->frameGeometry(), main = w->frameGeometry();
        QVERIFY2(screen.contains(at), "panel runs past the screen");
        // Room beside the window: a strip of the screen outside it that
        // holds the panel.
        const bool room = screen.right() - main.right() >= at.width() + 4 || main.left() - screen.left() >= at.width() + 4 ||
                          screen.bottom() - main.bottom() >= at.height() + 4 || main.top() - screen.top() >= at.height() + 4;
        if (room)
            QVERIFY2(!at.intersects(main), "panel over the window though the screen has room beside it");
        QStringList names;
        for (const char *n :
             {"comboBox_ir", "cbxFirFlat", "cbxFirWindows", "cbxFirorder", "cbxHPFSlope", "cbxHPFSlope_2",
              "cbxHPFSlope_3", "eqbtnout4", "eqbtnout5", "eqbtnout6", "eqbtnout7", "eqbtnout8"})
            names << QLatin1String(n);
        QStringList covered;
        for (const QString &n : names) {
            const QWidget *c = w->findChild<QWidget *>(n);
            QVERIFY2(c, qPrintable(n));
            if (c->isVisible() && at.intersects(QRect(c->mapToGlobal(QPoint(0, 0)), c->size())))
                covered << n;
        }
        QVERIFY2(covered.isEmpty(), qPrintable(QStringLiteral("panel covers ") + covered.join(QLatin1String(", "))));
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
    return XvfbServer::runtest<TstXLooks>(argc, argv);
}

#include "tst_xlooks.moc"
