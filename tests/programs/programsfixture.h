#pragma once

// What the program page tests share: the program-wide language object and
// controller as start-up makes them, one listed serial device of type 0x18 at
// address 1 that is current, scripted prompts, and the page. With a stand-in
// line, commands reach the processor stand-in through the program's engine.

#include "ccomctrl.h"
#include "comsettings.h"
#include "devicedata.h"
#include "devicefixture.h"
#include "dspresources.h"
#include "formsetview.h"
#include "globalcontrl.h"
#include "mainapp.h"
#include "programimage.h"
#include "scriptedprompts.h"
#include "standin.h"
#include "standinlink.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QLineEdit>
#include <QMutex>
#include <QProgressDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

inline QByteArray name20(const QByteArray &n)
{
    return n.leftJustified(20, ' ', true);
}

// Program images and the files that hold them, for the tests of program files.
namespace programbytes
{
// An image told apart from the others by its name and a byte of every part,
// every field in its range (a file the application would load).
// Each image is worked out once: the search checks the whole image at every
// step, and the tests ask for the same images over and over.
inline QByteArray imageof(int seed)
{
    static QMutex lock; // the stand-in's thread asks too
    static QHash<int, QByteArray> made;
    QMutexLocker hold(&lock);
    const auto known = made.constFind(seed);
    if (known != made.constEnd())
        return *known;
    QByteArray im = standin::factoryimage();
    im.replace(1, 20, name20("IMAGE " + QByteArray::number(seed)));
    for (int k = 0; k < 26; ++k) {
        // Every part differs: the first byte from offset 40 on that can take
        // the value with every field still in range.
        const char v = char((seed * 31 + k) & 0xFF);
        for (int i = 0; i < 64; ++i) {
            const int at = 64 * k + (40 + i) % 64;
            const char was = im.at(at);
            im[at] = v;
            if (was != v && checkprogramimage(im))
                break;
            im[at] = was;
        }
    }
    made.insert(seed, im);
    return im;
}

inline QByteArray readall(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}

inline bool writeall(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
} // namespace programbytes

class ProgramsFixture
{
public:
    static constexpr uchar kType = 0x18;

    // Without listed, the controller's default record stays current.
    void setup(uchar addr = 1, bool link = true, bool listed = true)
    {
        initdspresources();
        QVERIFY(dir.isValid());
        QDir::setCurrent(dir.path());
        gGlobalContrl = new GlobalContrl;
        gGlobalContrl->setlanguage(0);
        gMainApp = new MainApp;
        prompts.reset(new ScriptedPrompts);
        if (!listed) {
            dev = gMainApp->getcurdevice();
            page.reset(new FormSetView);
            return;
        }
        const QHostAddress serial(QStringLiteral("0.0.0.0"));
        dev = MainApp::adddevice(kType, addr, serial);
        gMainApp->setdevtype(kType);
        gMainApp->setdevaddr(addr);
        gMainApp->setdevip(serial);
        gMainApp->selectdevice(kType, addr, serial);
        QCOMPARE(gMainApp->getcurdevice(), dev);
        dev->setcomconnected(link ? 1 : 0);
        page.reset(new FormSetView);
    }
    void teardown()
    {
        ++pollgeneration();
        page.reset();
        prompts.reset();
        deleteprogramglobals();
        dev = nullptr;
        MainApp::settimescale(1);
    }

    template <typename T = QWidget> T *child(const QString &name) const { return page->findChild<T *>(name); }
    QString text(const QString &name) const
    {
        if (auto *e = child<QLineEdit>(name))
            return e->text();
        if (auto *b = child<QPushButton>(name))
            return b->text();
        return QStringLiteral("<no %1>").arg(name);
    }
    void click(const QString &name) const
    {
        QPushButton *b = child<QPushButton>(name);
        QVERIFY2(b, qPrintable(name));
        b->click();
    }
    void invoke(const QString &button) const
    {
        page->metaObject()->invokeMethod(page.get(), qPrintable("on_" + button + "_clicked"));
    }
    QByteArray packed() const
    {
        dev->packprogram();
        QByteArray out;
        for (int k = 0; k < kProgramImageSize; ++k)
            out.append(char(dev->getwriteimagebyte(k)));
        return out;
    }
    QByteArray curimage() const
    {
        QByteArray out;
        for (int k = 0; k < kProgramImageSize; ++k)
            out.append(char(dev->getcurimagebyte(k)));
        return out;
    }
    // Selects program n (1..30 user tab, 31..40 preset tab).
    void select(int n) const
    {
        auto *tabs = child<QTabWidget>(QStringLiteral("tabWidget"));
        tabs->setCurrentIndex(n > 30 ? 1 : 0);
        auto *table =
            child<QTableWidget>(n > 30 ? QStringLiteral("effectwidget") : QStringLiteral("progwidget"));
        table->selectRow(n > 30 ? n - 31 : n - 1);
    }
    QString cell(const QString &table, int row, int col) const
    {
        QTableWidgetItem *i = child<QTableWidget>(table)->item(row, col);
        return i ? i->text() : QString();
    }
    // Runs f on the first modal dialog of type T once it is shown.
    // Polls of a test end with it (teardown moves the generation on), and
    // after ten seconds in any case: a poll whose dialog never opened must not
    // act on a later test's dialog or variables.
    static int &pollgeneration()
    {
        static int generation = 0;
        return generation;
    }
    template <typename T> static void whenmodal(const std::function<void(T *)> &f)
    {
        auto poll = std::make_shared<std::function<void()>>();
        const int generation = pollgeneration();
        auto left = std::make_shared<int>(2000);
        *poll = [f, poll, generation, left]() {
            // Done: the self-reference is broken once this call has returned.
            const auto finish = [poll]() { QTimer::singleShot(0, [poll]() { *poll = nullptr; }); };
            if (generation != pollgeneration() || --*left < 0) {
                finish();
                return;
            }
            if (auto *d = qobject_cast<T *>(QApplication::activeModalWidget())) {
                f(d);
                finish();
                return;
            }
            QTimer::singleShot(5, [poll]() {
                if (*poll)
                    (*poll)();
            });
        };
        QTimer::singleShot(0, [poll]() { (*poll)(); });
    }

    QTemporaryDir dir;
    DeviceData *dev = nullptr;
    std::unique_ptr<ScriptedPrompts> prompts;
    std::unique_ptr<FormSetView> page;
};

// The Cancel button of the progress window shown now, if any.
inline QPushButton *cancelbutton()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *p = qobject_cast<QProgressDialog *>(w))
            if (p->isVisible())
                for (QPushButton *b : p->findChildren<QPushButton *>())
                    if (b->isVisible())
                        return b;
    return nullptr;
}

// A stand-in line opened on the program's engine for the whole test.
class StandinLine
{
public:
    bool open()
    {
        line = s.openpty();
        if (line < 0)
            return false;
        unit = s.addunit(line, 0x18, 1);
        gComSettings.setportname(s.ptypath(line));
        gComSettings.setsettings(ComSettings::FixedBaud, ComSettings::FixedDataBits, ComSettings::FixedParity,
                                 ComSettings::FixedStopBits, ComSettings::FixedFlowControl,
                                 ComSettings::FixedTimeout);
        return gComCtrl.openmaincom();
    }
    void close() { gComCtrl.closemaincom(); }
    void reset()
    {
        s.clearfaults();
        s.clearframes();
    }
    // Waits until the stand-in has read every frame sent so far (see standincaughtup).
    bool caughtup() { return standincaughtup(s, gComCtrl); }
    // The commands of one code the unit received.
    QVector<standin::FrameRecord> sent(int command) const
    {
        QVector<standin::FrameRecord> out;
        for (const standin::FrameRecord &r : s.commands(unit))
            if (command < 0 || r.command() == command)
                out << r;
        return out;
    }

    standin::Standin s;
    int line = -1;
    int unit = -1;
};

namespace programbytes
{
// Just under a hundredth: the 150 ms pause after a request rounds to 1 ms,
// as the 100 ms one does, rather than to 2 ms, while the replies' time-outs
// stay as at a hundredth (20 ms for 2 s). A save or load of all programs
// asks 780 times.
// Under the sanitizers a busy machine stalls the program longer than three
// 20 ms time-outs: there the waits run at three hundredths (60 ms for 2 s).
#if defined(__SANITIZE_ADDRESS__)
constexpr double kQuickScale = 0.0299;
#else
constexpr double kQuickScale = 0.0099;
#endif

// The page against the stand-in line whose unit holds 40 programs told apart
// (program 3 unused), their names listed and the current data loaded, with no
// box and no frame left over. current > 0: the unit's and the page's current
// program. The product's waits run at `scale` (kQuickScale: see there).
inline void setupstocked(ProgramsFixture &f, StandinLine &line, int current = 0, double scale = 0.01)
{
    f.setup();
    MainApp::settimescale(scale);
    line.reset();
    line.s.update(line.unit, [current](standin::UnitState &u) {
        u.image = imageof(0);
        if (current > 0)
            u.currentProgram = quint8(current);
        for (int k = 0; k < 40; ++k) {
            u.programs[k].used = k != 2;
            u.programs[k].image = imageof(k + 1);
            u.programs[k].name = name20((k >= 30 ? "PRESET " : "USER ") + QByteArray::number(k + 1));
        }
    });
    if (current > 0)
        f.dev->setcurprogramnum(current);
    f.click("btn_ref");
    f.page->on_btnloadcurdata_clicked();
    f.prompts->clear();
    line.s.clearframes();
}

inline void teardownstocked(ProgramsFixture &f, StandinLine &line)
{
    f.teardown();
    QTest::qWait(20);
    line.reset();
}
} // namespace programbytes
