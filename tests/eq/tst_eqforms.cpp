// The EQ page's forms: that they exist and connect by name, and the page's
// start state.

#include "eqfixture.h"
#include "formeq.h"
#include "formeqbtns.h"
#include "formfir.h"
#include "formphase.h"
#include "ui_formeq.h"
#include "ui_formeqbtns.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGuiApplication>
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

    void bandpanelconnections();
    void bandpanel();
    void pageobjects_data();
    void pageobjects();
    void pagestart();
    void pagelanguage();

private:
    EqFixture fx;
};

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
    QCOMPARE(panel.form()->btneqset0_4->text(), QStringLiteral("Set0"));
}

void TstEqForms::pageobjects_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("cls");
    QTest::addColumn<QString>("parent");
    QTest::newRow("channel bar") << "widgeteqtop" << "QWidget" << "widgeteqin";
    QTest::newRow("OUT8") << "eqbtnout8" << "QPushButton" << "widgeteqtop";
    QTest::newRow("gain value") << "eq_lineEdit" << "LimitSpinBox" << "widgeteqgain";
    QTest::newRow("curve") << "widgetshow" << "CCurveWidget" << "widgetdraw";
    QTest::newRow("band panel") << "widgeteqbtn" << "Formeqbtns" << "widgeteqbtns";
    QTest::newRow("FIR up") << "btnupeqfreqlow_2" << "QPushButton" << "widget_fir";
}

void TstEqForms::pageobjects()
{
    QFETCH(QString, name);
    QFETCH(QString, cls);
    QFETCH(QString, parent);
    FormEq page;
    QWidget *w = page.findChild<QWidget *>(name);
    QVERIFY2(w, qPrintable(name));
    QCOMPARE(QString::fromLatin1(w->metaObject()->className()), cls);
    QCOMPARE(w->parentWidget()->objectName(), parent);
}

void TstEqForms::pagestart()
{
    FormEq page;
    Ui::FormEq *ui = page.form();
    // The crossover's corner sliders span the grid from 20 Hz to 20 kHz.
    for (QSlider *corner : {ui->sldreqfreqlow, ui->sldreqfreqhigh}) {
        QCOMPARE(corner->minimum(), 35);
        QCOMPARE(corner->maximum(), 398);
    }
    QCOMPARE(ui->vlSliderGain_1->maximum(), 520);
    QVERIFY(ui->widgetoutaa->isHidden());
    QVERIFY(ui->widget_fir->isHidden());
    QVERIFY(ui->vlSlidereqview->isHidden());
    QVERIFY(ui->widgetpeqlockback->isHidden());
    QCOMPARE(ui->eq_lineEdit->minimum(), -40.0);
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
    // The window icon comes from the resources, as the gain page's does.
    QVERIFY(!page.windowIcon().pixmap(16).isNull());
}

void TstEqForms::pagelanguage()
{
    FormEq page;
    gGlobalContrl->setlanguage(1);
    page.refreshLanText();
    Ui::FormEq *ui = page.form();
    QCOMPARE(ui->labelhp->text(), QStringLiteral("高通"));
    QCOMPARE(ui->btneqbypassall->text(), QStringLiteral("全直通"));
    QCOMPARE(ui->cbxHPFSlopehigh->itemText(8), QStringLiteral("巴特沃斯  36"));
    gGlobalContrl->setlanguage(0);
    page.refreshLanText();
    QCOMPARE(ui->cbxHPFSlopehigh->itemText(8), QStringLiteral("Butwrth 36"));
}

QTEST_MAIN(TstEqForms)
#include "tst_eqforms.moc"
