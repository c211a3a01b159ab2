// The main control page follows the gain and delay pages without a click:
// after a connect (download from the stand-in) and after a program-file load,
// with gains, mutes and delays that differ from the defaults, its value
// labels and mute skins show the device's values.

#include "../shell/tst_connect_support.h"
#include "formdelay.h"
#include "formgain.h"
#include "formmainview.h"
#include "formtoolbutton.h"
#include "globalcontrl.h"
#include "scriptedprompts.h"

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

using namespace linktest;

namespace
{

// Gains, mutes and delays of every channel, different per seed.
QByteArray pageimage(int seed)
{
    QByteArray image = sampleimage(seed);
    for (int ch = 0; ch < 12; ++ch) {
        const int raw = 100 + 30 * ch + seed;
        const int samples = 480 * ch + 7 * seed;
        image[standin::img::gain + 3 * ch] = char((ch + seed) % 3 == 0);
        image[standin::img::gain + 3 * ch + 1] = char(raw & 0xFF);
        image[standin::img::gain + 3 * ch + 2] = char(raw >> 8);
        image[standin::img::delay + 3 * ch] = char(samples & 0xFF);
        image[standin::img::delay + 3 * ch + 1] = char(samples >> 8);
        image[standin::img::delay + 3 * ch + 2] = char(ch % 2 ? 0x80 : 0);
    }
    return image;
}

const char *const kGainLabels[12] = {"label_gaina",    "label_gainb",    "label_gainc",    "label_gaind",
                                     "label_gainout1", "label_gainout2", "label_gainout3", "label_gainout4",
                                     "label_gainout5", "label_gainout6", "label_gainout7", "label_gainout8"};
const char *const kMutes[12] = {"btninmute1",   "btninmute1_3", "btninmute1_4", "btninmute1_5",
                                "btnoutmute",   "btnoutmute_2", "btnoutmute_3", "btnoutmute_4",
                                "btnoutmute_5", "btnoutmute_6", "btnoutmute_7", "btnoutmute_8"};

} // namespace

class TstMainViewFollows : public QObject
{
    Q_OBJECT

    static void checkshown(FormMainView &view, int seed)
    {
        for (int ch = 0; ch < 12; ++ch) {
            const int raw = 100 + 30 * ch + seed;
            const int samples = 480 * ch + 7 * seed;
            QCOMPARE(view.findChild<QLabel *>(kGainLabels[ch])->text(),
                     QStringLiteral("%1dB").arg(raw / 10.0 - 40, 0, 'f', 1));
            QCOMPARE(view.findChild<QLabel *>(QStringLiteral("label_delay%1").arg(ch + 1))->text(),
                     QStringLiteral("%1ms").arg(samples / 48.0, 0, 'f', 2));
            const bool muted = (ch + seed) % 3 == 0;
            const QString skin = view.findChild<QPushButton *>(kMutes[ch])->styleSheet();
            QVERIFY2(
                skin.contains(muted ? "mute01.png" : (ch < 4 ? "inputback-mute.png" : "outbackmute.png")),
                qPrintable(QStringLiteral("%1: %2").arg(ch).arg(skin)));
        }
    }

private slots:
    void connectandload()
    {
        QTemporaryDir dir;
        QDir::setCurrent(dir.path());
        GlobalContrl language;
        gGlobalContrl = &language;
        language.setlanguage(0);
        ScriptedPrompts prompts;
        Env env;
        MainApp::settimescale(0.1);
        QVERIFY(env.serial());
        FormMainView view;
        FormGain gain;
        FormDelay delay;
        // As the main window wires them.
        connect(&env.link, &DeviceLink::updatemainview, &view, &FormMainView::updatemainview);
        connect(&env.link, &DeviceLink::updategainview, &gain, &FormGain::updategainview);
        connect(&env.link, &DeviceLink::updatedelayview, &delay, &FormDelay::updatedelayview);
        connect(&gain, &FormGain::updategainvalues, &view, &FormMainView::updategainvalues);
        connect(&gain, &FormGain::upmetubtns, &view, &FormMainView::updatemetubtn);
        connect(&delay, &FormDelay::updatedelayvalues, &view, &FormMainView::updatedelayvalues);
        // Stale mute skins from an earlier device.
        for (const char *mute : kMutes)
            view.findChild<QPushButton *>(mute)->setStyleSheet(QString());

        env.standin.update(env.unit, [](standin::UnitState &u) { u.image = pageimage(1); });
        env.link.connectdevice();
        QVERIFY(env.cur()->getcomconnected());
        checkshown(view, 1);

        // A program file with other values, loaded into the processor.
        const QString path = dir.filePath(QStringLiteral("load.k91"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(pageimage(2));
        file.close();
        prompts.fileNames.enqueue(path);
        FormToolButton bar;
        connect(&bar, &FormToolButton::updataallviews, &env.link,
                [&env] { env.link.startgui(false, QHostAddress()); });
        bar.on_Down_Button_clicked();
        QCOMPARE(env.standin.state(env.unit).image.toHex(), pageimage(2).toHex());
        checkshown(view, 2);
        gGlobalContrl = nullptr;
    }
};

QTEST_MAIN(TstMainViewFollows)
#include "tst_mainviewfollows.moc"
