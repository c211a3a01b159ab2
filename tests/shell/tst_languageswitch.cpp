// The language switch rewrites every text the application writes itself:
// the window switched to a language shows what a window started in that
// language shows, in both directions, connected to a processor stand-in.

#include "globalcontrl.h"
#include "tst_connect_support.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>

#include <map>

using namespace linktest;

namespace
{

// Every text shown by a widget of the window, by the widget's path of names.
std::map<QString, QString> texts(QWidget *root)
{
    std::map<QString, QString> out;
    for (QWidget *w : root->findChildren<QWidget *>()) {
        QString text;
        if (auto *l = qobject_cast<QLabel *>(w))
            text = l->text();
        else if (auto *e = qobject_cast<QLineEdit *>(w))
            text = e->text();
        else if (auto *b = qobject_cast<QAbstractButton *>(w))
            text = b->text() + QLatin1Char('|') + b->toolTip();
        else if (auto *c = qobject_cast<QComboBox *>(w)) {
            for (int i = 0; i < c->count(); ++i)
                text += c->itemText(i) + QLatin1Char('|');
        } else
            continue;
        QString path;
        for (QObject *o = w; o && o != root; o = o->parent())
            path.prepend(QLatin1Char('/') + o->objectName());
        out[path] = text;
    }
    return out;
}

struct Window {
    QTemporaryDir dir;
    standin::Standin s;
    std::unique_ptr<MainWindow> w;
    QLabel *comshow = nullptr;

    bool start(const char *language)
    {
        if (!QDir::setCurrent(dir.path()) || !writeconfig(language))
            return false;
        const int line = s.openpty();
        const int unit = s.addunit(line, 0x18, 1);
        s.update(unit, [&](standin::UnitState &u) { u.image = sampleimage(3); });
        gComSettings.setportname(s.ptypath(line));
        w.reset(startmainwindow(4));
        comshow = w->findChild<QLabel *>(QStringLiteral("comshow"));
        if (!gComCtrl.openmaincom())
            return false;
        w->fileaction(0)->trigger();
        gMainApp->setdevtype(0x18);
        gMainApp->setdevaddr(1);
        w->getbntnum(0);
        QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("btnExcel")), Qt::LeftButton);
        return gMainApp->getcurdevice()->getcomconnected() == 1;
    }
    ~Window()
    {
        w.reset();
        gComCtrl.closemaincom();
        QDir::setCurrent(QDir::tempPath());
    }
};

QString differences(const std::map<QString, QString> &got, const std::map<QString, QString> &want)
{
    QStringList out;
    for (const auto &kv : want) {
        const auto it = got.find(kv.first);
        if (it != got.end() && it->second != kv.second)
            out << QStringLiteral("%1: \"%2\", started so: \"%3\"").arg(kv.first, it->second, kv.second);
    }
    return out.join(QLatin1Char('\n'));
}

} // namespace

class TstLanguageSwitch : public QObject
{
    Q_OBJECT
private slots:
    // The status line and the texts beside it after each switch.
    void table_data()
    {
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<QStringList>("status"); // after start, one switch, two switches
        QTest::addColumn<QStringList>("name");   // the program page's current data
        QTest::newRow("from English") << QByteArray("en")
                                      << QStringList{"Com Online", QString::fromUtf8("串口在线"), "Com Online"}
                                      << QStringList{"Online Data", QString::fromUtf8("在线数据"), "Online Data"};
        QTest::newRow("from Chinese") << QByteArray("chs")
                                      << QStringList{QString::fromUtf8("串口在线"), "Com Online", QString::fromUtf8("串口在线")}
                                      << QStringList{QString::fromUtf8("在线数据"), "Online Data", QString::fromUtf8("在线数据")};
    }
    void table()
    {
        QFETCH(QByteArray, start);
        QFETCH(QStringList, status);
        QFETCH(QStringList, name);
        Window win;
        QVERIFY(win.start(start.constData()));
        QLineEdit *current = win.w->findChild<QLineEdit *>(QStringLiteral("Editdata"));
        QVERIFY(current);
        for (int k = 0; k < 3; ++k) {
            if (k > 0)
                win.w->refreshAllLanText();
            QCOMPARE(win.comshow->text(), status.at(k));
            QCOMPARE(current->text(), name.at(k));
        }
    }

    // Qt's own texts follow: the file dialog's in Chinese with the Chinese
    // interface, in English again after a switch to English, also in a
    // dialog open during the switch.
    void qttexts_data()
    {
        QTest::addColumn<QByteArray>("start");
        QTest::newRow("from English") << QByteArray("en");
        QTest::newRow("from Chinese") << QByteArray("chs");
    }
    void qttexts()
    {
        QFETCH(QByteArray, start);
        Window win;
        QVERIFY(win.start(start.constData()));
        QFileDialog dialog(win.w.get());
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        QLabel *lookin = dialog.findChild<QLabel *>(QStringLiteral("lookInLabel"));
        QVERIFY(lookin);
        bool chinese = start != "en";
        for (int k = 0; k < 3; ++k) {
            if (k > 0) {
                win.w->refreshAllLanText();
                chinese = !chinese;
            }
            QCOMPARE(gGlobalContrl->qttranslated(), chinese);
            const QString open = QCoreApplication::translate("QFileDialog", "&Open");
            QCOMPARE(open == QLatin1String("&Open"), !chinese);
            QCOMPARE(lookin->text() == QLatin1String("Look in:"), !chinese);
            QCOMPARE(lookin->text(), QCoreApplication::translate("QFileDialog", "Look in:"));
        }
    }

    // Every text after a switch equals the text of a window started in that language.
    void whole_data()
    {
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<QByteArray>("other");
        QTest::newRow("English to Chinese") << QByteArray("en") << QByteArray("chs");
        QTest::newRow("Chinese to English") << QByteArray("chs") << QByteArray("en");
    }
    void whole()
    {
        QFETCH(QByteArray, start);
        QFETCH(QByteArray, other);
        std::map<QString, QString> want;
        {
            Window win;
            QVERIFY(win.start(other.constData()));
            want = texts(win.w.get());
        }
        Window win;
        QVERIFY(win.start(start.constData()));
        win.w->refreshAllLanText();
        const QString diff = differences(texts(win.w.get()), want);
        if (!diff.isEmpty())
            QFAIL(qPrintable(diff));
    }
};

QTEST_MAIN(TstLanguageSwitch)
#include "tst_languageswitch.moc"
