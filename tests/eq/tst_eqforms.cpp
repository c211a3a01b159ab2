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
#include <QDialog>
#include <QDoubleSpinBox>
#include <QGuiApplication>
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

    void bandpanelconnections();
    void bandpanel();
    void bandrows_data();
    void bandrows();
    void creationorder();
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

// Bands 1, 4 and 7 of the band panel's form with all their children, as
// listed for one row: class, parent, place and text.
void TstEqForms::bandrows_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("cls");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<QString>("text");
    struct Child {
        const char *stem, *cls, *parent;
        QRect rect;
        const char *text;
    };
    // %s: the band suffix ("" for band 1, "_n" else); %d: the band number.
    const Child children[] = {
        {"widgeteq%s", "QWidget", "Formeqbtns", {0, 0, 745, 52}, ""},
        {"btn1eqbtn%s", "QPushButton", "widgeteq%s", {25, 10, 16, 26}, "%d"},
        {"btneqbypass%s", "QPushButton", "widgeteq%s", {615, 10, 78, 36}, "ByPass"},
        {"cbxHPFSlope%s", "QComboBox", "widgeteq%s", {55, 10, 140, 24}, "PEQ"},
        {"btneqset0%s", "QPushButton", "widgeteq%s", {691, 13, 49, 30}, "Set0"},
        {"widget_peq%d_freq", "QWidget", "widgeteq%s", {231, 0, 120, 52}, ""},
        {"widget_peq%d_gain", "QWidget", "widgeteq%s", {356, 0, 120, 52}, ""},
        {"widget_peq%d_width", "QWidget", "widgeteq%s", {481, 0, 120, 52}, ""},
        {"Editeqfreq%s", "QLineEdit", "widget_peq%d_freq", {13, 10, 97, 16}, ""},
        {"Editeqgain%s", "QLineEdit", "widget_peq%d_gain", {13, 10, 97, 16}, ""},
        {"Editeqq%s", "QLineEdit", "widget_peq%d_width", {13, 10, 97, 16}, ""},
        {"btndowneqfreq%s", "QPushButton", "widget_peq%d_freq", {7, 26, 21, 23}, ""},
        {"btndowneqgain%s", "QPushButton", "widget_peq%d_gain", {7, 26, 21, 23}, ""},
        {"btndowneqq%s", "QPushButton", "widget_peq%d_width", {7, 26, 21, 23}, ""},
        {"sldreqfreq%s", "QSlider", "widget_peq%d_freq", {29, 30, 66, 17}, ""},
        {"sldreqgain%s", "QSlider", "widget_peq%d_gain", {29, 30, 66, 17}, ""},
        {"sldreqq%s", "QSlider", "widget_peq%d_width", {29, 30, 66, 17}, ""},
        {"btnupeqfreq%s", "QPushButton", "widget_peq%d_freq", {94, 26, 21, 23}, ""},
        {"btnupeqgain%s", "QPushButton", "widget_peq%d_gain", {94, 26, 21, 23}, ""},
        {"btnupeqq%s", "QPushButton", "widget_peq%d_width", {94, 26, 21, 23}, ""},
    };
    for (int n : {1, 4, 7}) {
        const QString suffix = n == 1 ? QString() : QStringLiteral("_%1").arg(n);
        auto fill = [&](const char *pattern) {
            return QString::fromLatin1(pattern).replace("%s", suffix).replace("%d", QString::number(n));
        };
        for (const Child &c : children) {
            QRect rect = c.rect;
            if (QLatin1String(c.stem) == QLatin1String("widgeteq%s"))
                rect.moveTop(52 * (n - 1)); // the rows lie 52 pixels apart
            if (n == 7 && QByteArray(c.stem).startsWith("btnup"))
                rect.setHeight(25); // band 7's step-up buttons only
            QTest::addRow("%s", qPrintable(fill(c.stem)))
                << fill(c.stem) << c.cls << fill(c.parent) << rect << fill(c.text);
        }
    }
}

void TstEqForms::bandrows()
{
    QFETCH(QString, name);
    QFETCH(QString, cls);
    QFETCH(QString, parent);
    QFETCH(QRect, rect);
    QFETCH(QString, text);
    QWidget panel;
    Ui::Formeqbtns form;
    form.setupUi(&panel);
    QCOMPARE(panel.objectName(), QStringLiteral("Formeqbtns"));
    QCOMPARE(panel.size(), QSize(748, 490));
    QWidget *w = panel.findChild<QWidget *>(name);
    QVERIFY2(w, qPrintable(name));
    QCOMPARE(QString::fromLatin1(w->metaObject()->className()), cls);
    QCOMPARE(w->parentWidget()->objectName(), parent);
    QCOMPARE(w->geometry(), rect);
    QString shown;
    if (auto *b = qobject_cast<QPushButton *>(w))
        shown = b->text();
    else if (auto *c = qobject_cast<QComboBox *>(w))
        shown = c->currentText();
    else if (auto *e = qobject_cast<QLineEdit *>(w))
        shown = e->text();
    QCOMPARE(shown, text);
    if (auto *s = qobject_cast<QSlider *>(w)) {
        QCOMPARE(s->orientation(), Qt::Horizontal);
        QCOMPARE(s->maximum(), 61);
        QCOMPARE(s->focusPolicy(), Qt::WheelFocus);
    }
}

// The page form's widgets in the order the form makes them, which is the
// default keyboard focus order; the page gives the FIR high corner its range.
void TstEqForms::creationorder()
{
    const QStringList order{"widgeteqin",
                            "widgeteqtop",
                            "eqbtnina",
                            "eqbtninb",
                            "eqbtninc",
                            "eqbtnind",
                            "eqbtnout1",
                            "eqbtnout2",
                            "eqbtnout3",
                            "eqbtnout4",
                            "eqbtnout5",
                            "eqbtnout6",
                            "eqbtnout7",
                            "eqbtnout8",
                            "widgeteqgain",
                            "eqbtnup",
                            "vlSliderGain_1",
                            "eqbtndown",
                            "eq_btngainm",
                            "label_5",
                            "label_6",
                            "label_7",
                            "label_8",
                            "label_157",
                            "label_9",
                            "eq_lineEdit",
                            "widgetdraw",
                            "widgeteqbtns",
                            "widgeteqbtn",
                            "widgetoutaa",
                            "widget_iir",
                            "btndowneqfreqlow",
                            "sldreqfreqlow",
                            "btnupeqfreqlow",
                            "Editeqfreqlow",
                            "btndowneqfreqhigh",
                            "btnupeqfreqhigh",
                            "sldreqfreqhigh",
                            "Editeqfreqhigh",
                            "cbxHPFSlopelow",
                            "cbxHPFSlopehigh",
                            "labelhp",
                            "labellp",
                            "labeltype",
                            "labelfreq",
                            "comboBox_ir",
                            "widget_fir",
                            "sldreqfirlow",
                            "cbxFirWindows",
                            "cbxFirFlat",
                            "sldreqfirhigh",
                            "cbxFirorder",
                            "label_filter",
                            "label_winfun",
                            "label_order",
                            "label_hp",
                            "label_lp",
                            "label_firfreq",
                            "Editeqfirfreqlow",
                            "Editeqfirfreqhigh",
                            "btndowneqfreqhigh_2",
                            "btndowneqfreqlow_2",
                            "btnupeqfreqhigh_2",
                            "btnupeqfreqlow_2",
                            "btneqbypassall",
                            "vlSlidereqview",
                            "widgetpeqlockback",
                            "widgetpeqlockback_2",
                            "label666",
                            "vlSlidereqview_2"};
    QCOMPARE(order.size(), 70);
    QDialog page;
    Ui::FormEq form;
    form.setupUi(&page);
    QStringList chain;
    // The plot and the band panel make children of their own: only the
    // form's widgets count.
    auto inner = [&form](const QWidget *w) {
        return (w != form.widgetdraw && form.widgetdraw->isAncestorOf(w)) ||
               (w != form.widgeteqbtn && form.widgeteqbtn->isAncestorOf(w));
    };
    for (QWidget *w = page.nextInFocusChain(); w != &page; w = w->nextInFocusChain())
        if (order.contains(w->objectName()) && !inner(w))
            chain << w->objectName();
    QCOMPARE(chain, order);
    QCOMPARE(form.sldreqfirhigh->geometry(), QRect(433, 21, 92, 18));
    QCOMPARE(form.sldreqfirhigh->maximum(), 398);
    QCOMPARE(form.sldreqfirhigh->value(), 4);

    // The page asks for 40, which its range turns into 190.
    FormEq eq;
    QCOMPARE(eq.form()->sldreqfirhigh->minimum(), 190);
    QCOMPARE(eq.form()->sldreqfirhigh->maximum(), 398);
    QCOMPARE(eq.form()->sldreqfirhigh->value(), 190);
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
