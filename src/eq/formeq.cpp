#include "formeq.h"

#include "formfir.h"
#include "globalcontrl.h"
#include "mainapp.h"
#include "ui_formeq.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

FormEq *gFormEq = nullptr;

FormEq::FormEq(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::FormEq)
{
    ui->setupUi(this);
    setWindowIcon(QIcon(QStringLiteral("/gain/skin/crcone1.png")));
    // Start state of the form: the crossover area appears for outputs, the
    // scroll sliders are hidden, the sliders hold grid indices and raw gain.
    ui->widgetoutaa->hide();
    ui->vlSlidereqview->setRange(0, 4);
    ui->vlSlidereqview->setValue(4);
    ui->vlSlidereqview->hide();
    ui->sldreqfirlow->setRange(190, 398);
    ui->sldreqfirhigh->setRange(190, 398);
    ui->sldreqfirhigh->setValue(40);
    ui->vlSliderGain_1->setRange(0, 520);
    ui->sldreqfreqlow->setRange(35, 398);
    ui->sldreqfreqhigh->setRange(35, 398);
    ui->sldreqfreqhigh->setValue(40);
    ui->eqbtnina->setChecked(true);
    ui->widgeteqbtn->setGeometry(0, 0, 748, 208);
    ui->vlSlidereqview_2->setRange(0, 1);
    ui->vlSlidereqview_2->hide();
    ui->widgetpeqlockback->hide();
    ui->widgetpeqlockback_2->hide();
    ui->widget_iir->show();
    ui->widget_fir->hide();

    // The FIR window is top-level and never blocks the page; it sits at the
    // right of the primary screen's available area.
    fir = new FormFir(nullptr);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        fir->move(area.x() + qMax(0, area.width() - fir->width() - 30), area.y() + 25);
    }

    if (gGlobalContrl)
        connect(gGlobalContrl, &GlobalContrl::refreshLangangeState, this, &FormEq::refreshLanText);
}

FormEq::~FormEq()
{
    delete fir;
    delete ui;
}

// The page's editing, reloads and senders are filled in with the page itself.
void FormEq::refreshgain() {}
void FormEq::updatepeqview(int) {}
void FormEq::updatepeqlock() {}
void FormEq::updateeq() {}

void FormEq::refreshLanText()
{
    const bool zh = gGlobalContrl && gGlobalContrl->getlanguage() != 0;
    auto tr2 = [zh](const char *en, const char *chs) { return QString::fromUtf8(zh ? chs : en); };
    ui->labelhp->setText(tr2("HIGH PASS", "高通"));
    ui->label_hp->setText(tr2("HP PASS", "高通"));
    ui->labellp->setText(tr2("LOW PASS", "低通"));
    ui->label_lp->setText(tr2("LP PASS", "低通"));
    ui->labeltype->setText(tr2("TYPE", "类型"));
    ui->labelfreq->setText(tr2("FREQUENCY", "频率"));
    ui->label_firfreq->setText(tr2("FREQUENCY", "频率"));
    ui->label_filter->setText(tr2("FILTER", "过滤"));
    ui->label_winfun->setText(tr2("WINDOW FUNCTION", "窗函数"));
    ui->label_order->setText(tr2("ORDER", "阶数"));
    ui->btneqbypassall->setText(tr2("BypassAll", "全直通"));

    // Slope items: the list has 10 items, or 13 where the device type offers
    // the 48 dB slopes.
    static const char *const kEn[] = {"FLAT THRU",  "Bessel  12", "Butwrth 12", "Lnk/Ril 12", "Bessel  24",
                                      "Butwrth 24", "Lnk/Ril 24", "Bessel  36", "Butwrth 36", "Lnk/Ril 36",
                                      "Bessel  48", "Butwrth 48", "Lnk/Ril 48"};
    static const char *const kZh[] = {"平直",         "贝塞尔  12",    "巴特沃斯  12",  "林奎/瑞利  12",
                                      "贝塞尔  24",   "巴特沃斯  24",  "林奎/瑞利  24", "贝塞尔  36",
                                      "巴特沃斯  36", "林奎/瑞利  36", "贝塞尔  48",    "巴特沃斯  48",
                                      "林奎/瑞利  48"};
    for (QComboBox *c : {ui->cbxHPFSlopehigh, ui->cbxHPFSlopelow}) {
        for (int k = 0; k < c->count() && k < 13; ++k)
            c->setItemText(k, tr2(kEn[k], kZh[k]));
    }
    ui->cbxFirFlat->setItemText(0, tr2("FLAT", "平直"));
    ui->cbxFirFlat->setItemText(1, tr2("HP", "高通"));
    ui->cbxFirFlat->setItemText(2, tr2("LP", "低通"));
    ui->cbxFirFlat->setItemText(3, tr2("BP", "带通"));
}

void FormEq::closeEvent(QCloseEvent *event)
{
    // Pages live for the whole run: closing only hides the sub-window.
    if (gMainApp)
        gMainApp->hideeqview();
    event->ignore();
}
