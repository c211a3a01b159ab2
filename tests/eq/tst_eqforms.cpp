// The EQ page's forms: object names, classes and parents, the band panel's
// creation order and by-name connections, and the page's start state.

#include "eqfixture.h"
#include "formeq.h"
#include "formeqbtns.h"
#include "formeqdraw.h"
#include "formfir.h"
#include "formphase.h"
#include "ui_formeq.h"
#include "ui_formeqbtns.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSlider>

// A panel whose slots are named after a few of the form's widgets: the form's
// last step connects them by name.
class SlotProbe : public QWidget
{
    Q_OBJECT
public:
    QStringList calls;
public slots:
    void on_btnupeqgain_5_clicked() { calls << QStringLiteral("up gain 5"); }
    void on_btn1eqbtn_4_clicked() { calls << QStringLiteral("band 4"); }
    void on_cbxHPFSlope_3_currentIndexChanged(int i) { calls << QStringLiteral("type 3 %1").arg(i); }
    void on_sldreqq_7_valueChanged(int v) { calls << QStringLiteral("width 7 %1").arg(v); }
    void on_Editeqfreq_editingFinished() { calls << QStringLiteral("freq edit 1"); }
    void on_btneqset0_6_clicked() { calls << QStringLiteral("set0 6"); }
};

class TstEqForms : public QObject
{
    Q_OBJECT
private slots:
    void init() { fx.setup(); }
    void cleanup() { fx.teardown(); }

    void bandpanelform();
    void bandpanelconnections();
    void bandpanel();
    void pageobjects_data();
    void pageobjects();
    void pagestart();
    void pagelanguage();

private:
    EqFixture fx;
};

void TstEqForms::bandpanelform()
{
    QWidget panel;
    Ui::Formeqbtns form;
    form.setupUi(&panel);
    QCOMPARE(panel.objectName(), QStringLiteral("Formeqbtns"));
    QCOMPARE(panel.size(), QSize(748, 490));
    int named = 0; // the form's widgets (combos and edits add unnamed parts of their own)
    for (QWidget *w : panel.findChildren<QWidget *>())
        named += !w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_"));
    QCOMPARE(named, 140);
    // Rows built in band order 4, 3, 2, 1, 5, 6, 7, at 52-pixel pitch.
    QStringList rows;
    for (QObject *o : panel.children())
        rows << o->objectName();
    QCOMPARE(rows, (QStringList{"widgeteq_4", "widgeteq_3", "widgeteq_2", "widgeteq", "widgeteq_5",
                                "widgeteq_6", "widgeteq_7"}));
    QCOMPARE(form.widgeteq_7->geometry(), QRect(0, 312, 745, 52));
    // Band 2: its containers and their children in the table's order.
    QStringList order;
    auto formwidget = [](QObject *o) {
        return !o->objectName().isEmpty() && !o->objectName().startsWith(QLatin1String("qt_"));
    };
    for (QObject *o : form.widgeteq_2->children()) {
        if (!formwidget(o))
            continue;
        order << o->objectName();
        if (qobject_cast<QComboBox *>(o))
            continue;
        for (QObject *k : o->children())
            if (formwidget(k))
                order << k->objectName();
    }
    QCOMPARE(order, (QStringList{"btn1eqbtn_2", "btneqbypass_2", "cbxHPFSlope_2", "btneqset0_2",
                                 "widget_peq2_width", "Editeqq_2", "btnupeqq_2", "sldreqq_2", "btndowneqq_2",
                                 "widget_peq2_gain", "Editeqgain_2", "btnupeqgain_2", "btndowneqgain_2",
                                 "sldreqgain_2", "widget_peq2_freq", "btnupeqfreq_2", "btndowneqfreq_2",
                                 "Editeqfreq_2", "sldreqfreq_2"}));
    // Directly after setupUi: sliders at 0 in 0..61, combos on "PEQ", nothing checked.
    for (QSlider *s : panel.findChildren<QSlider *>()) {
        QCOMPARE(s->maximum(), 61);
        QCOMPARE(s->value(), 0);
    }
    for (QComboBox *c : panel.findChildren<QComboBox *>()) {
        QCOMPARE(c->count(), 6);
        QCOMPARE(c->currentText(), QStringLiteral("PEQ"));
        QCOMPARE(c->itemText(5), QStringLiteral("All Pass"));
    }
    for (QPushButton *b : panel.findChildren<QPushButton *>())
        QVERIFY(!b->isChecked());
    QCOMPARE(form.btnupeqgain_7->size(), QSize(21, 25));
    QCOMPARE(form.btnupeqgain_6->size(), QSize(21, 23));
    QCOMPARE(form.btneqset0_3->geometry(), QRect(691, 13, 49, 30));
    QCOMPARE(form.Editeqgain->inputMethodHints(), Qt::ImhFormattedNumbersOnly);
    QCOMPARE(form.Editeqgain_2->inputMethodHints(), Qt::ImhNone);
    QCOMPARE(form.btn1eqbtn_5->text(), QStringLiteral("5"));
    QVERIFY(form.btn1eqbtn_5->isCheckable() && !form.btn1eqbtn_5->autoExclusive());
}

void TstEqForms::bandpanelconnections()
{
    SlotProbe panel;
    Ui::Formeqbtns form;
    form.setupUi(&panel);
    QVERIFY(panel.calls.isEmpty()); // nothing runs during setupUi
    form.btnupeqgain_5->click();
    form.btnupeqgain_4->click();
    form.btn1eqbtn_4->click();
    form.cbxHPFSlope_3->setCurrentIndex(2);
    form.cbxHPFSlope->setCurrentIndex(2);
    form.sldreqq_7->setValue(9);
    form.sldreqq_6->setValue(9);
    emit form.Editeqfreq->editingFinished();
    form.btneqset0_6->click();
    QCOMPARE(panel.calls,
             (QStringList{"up gain 5", "band 4", "type 3 2", "width 7 9", "freq edit 1", "set0 6"}));
}

void TstEqForms::bandpanel()
{
    Formeqbtns panel;
    QCOMPARE(panel.form()->sldreqfreq_3->maximum(), 398);
    QCOMPARE(panel.form()->sldreqgain_3->maximum(), 450);
    QCOMPARE(panel.form()->sldreqq_3->maximum(), 40);
    QVERIFY(panel.phasepanel());
    QVERIFY(panel.phasepanel()->isWindow());
    QCOMPARE(panel.phasepanel()->windowModality(), Qt::NonModal);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(area.contains(panel.phasepanel()->pos()));
    gGlobalContrl->setlanguage(1);
    panel.refreshLanText();
    QCOMPARE(panel.form()->btneqbypass_4->text(), QStringLiteral("直通"));
    QCOMPARE(panel.form()->cbxHPFSlope_4->itemText(5), QStringLiteral("相位开关"));
    QCOMPARE(panel.form()->cbxHPFSlope_4->itemText(1), QStringLiteral("L_shelf 6dB"));
    QCOMPARE(panel.form()->btneqset0_4->text(), QStringLiteral("Set0"));
}

void TstEqForms::pageobjects_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("cls");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("page back") << "widgeteqin"
                               << "QWidget"
                               << "FormEq" << QRect(0, 0, 1014, 900);
    QTest::newRow("channel bar") << "widgeteqtop"
                                 << "QWidget"
                                 << "widgeteqin" << QRect(37, 285, 848, 40);
    QTest::newRow("IN-D") << "eqbtnind"
                          << "QPushButton"
                          << "widgeteqtop" << QRect(210, 5, 57, 29);
    QTest::newRow("OUT8") << "eqbtnout8"
                          << "QPushButton"
                          << "widgeteqtop" << QRect(780, 5, 57, 29);
    QTest::newRow("gain slider") << "vlSliderGain_1"
                                 << "QSlider"
                                 << "widgeteqgain" << QRect(40, 52, 44, 168);
    QTest::newRow("gain value") << "eq_lineEdit"
                                << "QDoubleSpinBox"
                                << "widgeteqgain" << QRect(46, 245, 59, 22);
    QTest::newRow("plot frame") << "widgetdraw"
                                << "FormEqDraw"
                                << "widgeteqin" << QRect(30, 320, 860, 260);
    QTest::newRow("curve") << "widgetshow"
                           << "CCurveWidget"
                           << "widgetdraw" << QRect(30, 13, 810, 225);
    QTest::newRow("band panel") << "widgeteqbtn"
                                << "Formeqbtns"
                                << "widgeteqbtns" << QRect(0, 0, 748, 208);
    QTest::newRow("IIR") << "widget_iir"
                         << "QWidget"
                         << "widgetoutaa" << QRect(0, 24, 723, 88);
    QTest::newRow("HP slope") << "cbxHPFSlopehigh"
                              << "QComboBox"
                              << "widget_iir" << QRect(135, 19, 123, 22);
    QTest::newRow("FIR") << "widget_fir"
                         << "QWidget"
                         << "widgetoutaa" << QRect(0, 24, 661, 78);
    QTest::newRow("FIR up") << "btnupeqfreqlow_2"
                            << "QPushButton"
                            << "widget_fir" << QRect(538, 46, 21, 25);
    QTest::newRow("hidden caption") << "label_lp"
                                    << "QLabel"
                                    << "widget_fir" << QRect(570, 500, 91, 21);
    QTest::newRow("bypass all") << "btneqbypassall"
                                << "QPushButton"
                                << "widgeteqin" << QRect(637, -2, 127, 35);
    QTest::newRow("lock 2") << "widgetpeqlockback_2"
                            << "QWidget"
                            << "widgeteqin" << QRect(30, 328, 1000, 250);
    QTest::newRow("header") << "label666"
                            << "QLabel"
                            << "widgeteqin" << QRect(8, 3, 631, 31);
}

void TstEqForms::pageobjects()
{
    QFETCH(QString, name);
    QFETCH(QString, cls);
    QFETCH(QString, parent);
    QFETCH(QRect, geometry);
    FormEq page;
    QWidget *w = page.findChild<QWidget *>(name);
    QVERIFY2(w, qPrintable(name));
    QCOMPARE(QString::fromLatin1(w->metaObject()->className()), cls);
    QCOMPARE(w->parentWidget()->objectName(), parent);
    QCOMPARE(w->geometry(), geometry);
}

void TstEqForms::pagestart()
{
    FormEq page;
    Ui::FormEq *ui = page.form();
    QCOMPARE(page.size(), QSize(1014, 900));
    QCOMPARE(page.windowTitle(), QStringLiteral("EQ"));
    QCOMPARE(ui->sldreqfirhigh->value(), 190);
    QCOMPARE(ui->sldreqfreqhigh->value(), 40);
    QCOMPARE(ui->sldreqfreqlow->minimum(), 35);
    QCOMPARE(ui->vlSliderGain_1->maximum(), 520);
    QVERIFY(ui->widgetoutaa->isHidden());
    QVERIFY(ui->widget_fir->isHidden());
    QVERIFY(ui->vlSlidereqview->isHidden());
    QVERIFY(ui->widgetpeqlockback->isHidden());
    QCOMPARE(ui->eq_lineEdit->minimum(), -40.0);
    QCOMPARE(ui->eq_lineEdit->decimals(), 1);
    QCOMPARE(ui->cbxHPFSlopelow->count(), 10);
    QCOMPARE(ui->cbxHPFSlopelow->itemText(1), QStringLiteral("Bessel  12"));
    QCOMPARE(ui->cbxFirorder->itemText(2), QStringLiteral("114"));
    // One channel button checked; checking another unchecks it.
    QVERIFY(ui->eqbtnina->isChecked());
    ui->eqbtnout3->click();
    QVERIFY(!ui->eqbtnina->isChecked());
    // Stacking: the channel bar and the header above both lock overlays.
    const QObjectList kids = ui->widgeteqin->children();
    QCOMPARE(kids.last()->objectName(), QStringLiteral("widgeteqtop"));
    QVERIFY(kids.indexOf(ui->label666) > kids.indexOf(ui->widgetpeqlockback_2));
    QVERIFY(kids.indexOf(ui->widgetpeqlockback) > kids.indexOf(ui->widgetoutaa));
    // The FIR window is top-level, not modal.
    QVERIFY(page.firpanel()->isWindow());
    QCOMPARE(page.firpanel()->windowModality(), Qt::NonModal);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(area.contains(page.firpanel()->pos()));
}

void TstEqForms::pagelanguage()
{
    FormEq page;
    gGlobalContrl->setlanguage(1);
    page.refreshLanText();
    Ui::FormEq *ui = page.form();
    QCOMPARE(ui->labelhp->text(), QStringLiteral("高通"));
    QCOMPARE(ui->label_winfun->text(), QStringLiteral("窗函数"));
    QCOMPARE(ui->btneqbypassall->text(), QStringLiteral("全直通"));
    QCOMPARE(ui->cbxHPFSlopehigh->itemText(8), QStringLiteral("巴特沃斯  36"));
    QCOMPARE(ui->cbxFirFlat->itemText(3), QStringLiteral("带通"));
    QCOMPARE(ui->cbxFirWindows->itemText(0), QStringLiteral("BartlettWin"));
    gGlobalContrl->setlanguage(0);
    page.refreshLanText();
    QCOMPARE(ui->cbxHPFSlopehigh->itemText(8), QStringLiteral("Butwrth 36"));
}

QTEST_MAIN(TstEqForms)
#include "tst_eqforms.moc"
