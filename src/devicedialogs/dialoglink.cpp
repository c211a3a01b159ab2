#include "dialoglink.h"
#include "ui_dialoglink.h"

#include "channelexchange.h"
#include "devicedata.h"
#include "exchange.h"
#include "mainapp.h"
#include "programimage.h"
#include "prompts.h"

#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>

using channelexchange::tr2;

namespace
{
// The channels a device type has of each kind: 4 inputs and 8 outputs, 3 and
// 6 on type 22, 2 and 4 on type 20.
int inputcount(uchar type)
{
    return type == 0x16 ? 3 : type == 0x14 ? 2 : DialogLink::kInputs;
}
int outputcount(uchar type)
{
    return type == 0x16 ? 6 : type == 0x14 ? 4 : DialogLink::kOutputs;
}

// Row and column labels of the two matrices, by row or column.
const char *const kInColumnLabels[] = {"label_22", "label_23", "label_24", "label_25"};
const char *const kInRowLabels[] = {"label_26", "label_27", "label_28", "label_29"};
const char *const kOutColumnLabels[] = {"label_30", "label_31", "label_32", "label_33",
                                        "label_34", "label_35", "label_36", "label_37"};
const char *const kOutRowLabels[] = {"label_40", "label_41", "label_38", "label_39",
                                     "label_44", "label_45", "label_42", "label_43"};
} // namespace

DialogLink::DialogLink(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DialogLink)
{
    ui->setupUi(this);
    initmatrix();
    progress = new QProgressBar(ui->widgetLink);
    progress->setObjectName(QStringLiteral("progressLink"));
    progress->setGeometry(30, 328, 230, 20);
    progress->setRange(0, 100);
    progress->hide();
    settexts();
}

DialogLink::~DialogLink()
{
    delete ui;
}

void DialogLink::initmatrix()
{
    for (int g = 0; g < kInputs; ++g)
        for (int c = 0; c < kInputs; ++c)
            inmatrix[g][c] =
                findChild<QRadioButton *>(QStringLiteral("rblink%1%2").arg(QChar('a' + c)).arg(g + 1));
    for (int g = 0; g < kOutputs; ++g)
        for (int k = 0; k < kOutputs; ++k)
            outmatrix[g][k] = findChild<QRadioButton *>(QStringLiteral("rblinko%1%2").arg(k + 1).arg(g + 1));
    // Every channel alone in the row of its own number: the default masks.
    for (int c = 0; c < kInputs; ++c)
        inmatrix[c][c]->setChecked(true);
    for (int k = 0; k < kOutputs; ++k)
        outmatrix[k][k]->setChecked(true);
}

void DialogLink::settexts()
{
    setWindowTitle(tr2("Set Link", "设置链接"));
    ui->groupBox_7->setTitle(tr2("Link Control", "链接控制"));
    ui->groupBox_10->setTitle(tr2("In Link", "输入链接"));
    ui->groupBox_11->setTitle(tr2("Out Link", "输出链接"));
    ui->pushButton_close->setText(tr2("EXIT", "退出"));
    ui->pushButton_link_2->setText(tr2("Set Link", "设置链接"));
}

QVector<int> DialogLink::rowsfrommasks(const QVector<int> &masks)
{
    const int n = masks.size();
    QVector<int> rows(n);
    for (int j = 0; j < n; ++j)
        rows[j] = j;
    // Lower channels last, so the lowest claiming channel wins.
    for (int g = n - 1; g >= 0; --g)
        for (int j = 0; j < n; ++j)
            if (masks[g] & (1 << j))
                rows[j] = g;
    return rows;
}

QVector<int> DialogLink::masksfromrows(const QVector<int> &rows)
{
    const int n = rows.size();
    QVector<int> masks(n);
    for (int c = 0; c < n; ++c) {
        masks[c] = 1 << c;
        for (int i = 0; i < n; ++i)
            if (rows[i] == rows[c])
                masks[c] |= 1 << i;
    }
    return masks;
}

QVector<int> DialogLink::inputrows() const
{
    QVector<int> rows(kInputs, 0);
    for (int c = 0; c < kInputs; ++c)
        for (int g = kInputs - 1; g >= 0; --g)
            if (inmatrix[g][c]->isChecked())
                rows[c] = g;
    return rows;
}

QVector<int> DialogLink::outputrows() const
{
    QVector<int> rows(kOutputs, 0);
    for (int k = 0; k < kOutputs; ++k)
        for (int g = kOutputs - 1; g >= 0; --g)
            if (outmatrix[g][k]->isChecked())
                rows[k] = g;
    return rows;
}

QString DialogLink::maskhex() const
{
    QString hex;
    for (int m : masksfromrows(inputrows()) + masksfromrows(outputrows()))
        hex += QStringLiteral("%1").arg(m, 2, 16, QLatin1Char('0'));
    return hex;
}

void DialogLink::loadlinkmasks(uchar type)
{
    const DeviceData *d = gMainApp ? gMainApp->getcurdevice() : nullptr;
    if (d) {
        QVector<int> in(kInputs), out(kOutputs);
        for (int c = 0; c < kInputs; ++c)
            in[c] = d->getlinkmask(c) & 0x0F;
        for (int k = 0; k < kOutputs; ++k)
            out[k] = d->getlinkmask(kInputs + k);
        const QVector<int> inrows = rowsfrommasks(in);
        const QVector<int> outrows = rowsfrommasks(out);
        for (int c = 0; c < kInputs; ++c)
            inmatrix[inrows[c]][c]->setChecked(true);
        for (int k = 0; k < kOutputs; ++k)
            outmatrix[outrows[k]][k]->setChecked(true);
    }

    // Channels and rows the type lacks are hidden, still sent as loaded.
    const int ni = inputcount(type), no = outputcount(type);
    for (int g = 0; g < kInputs; ++g) {
        findChild<QLabel *>(QLatin1String(kInColumnLabels[g]))->setVisible(g < ni);
        findChild<QLabel *>(QLatin1String(kInRowLabels[g]))->setVisible(g < ni);
        for (int c = 0; c < kInputs; ++c)
            inmatrix[g][c]->setVisible(g < ni && c < ni);
    }
    for (int g = 0; g < kOutputs; ++g) {
        findChild<QLabel *>(QLatin1String(kOutColumnLabels[g]))->setVisible(g < no);
        findChild<QLabel *>(QLatin1String(kOutRowLabels[g]))->setVisible(g < no);
        for (int k = 0; k < kOutputs; ++k)
            outmatrix[g][k]->setVisible(g < no && k < no);
    }
}

void DialogLink::on_pushButton_close_clicked()
{
    close();
}

void DialogLink::on_pushButton_link_2_clicked()
{
    if (busy || !gMainApp)
        return;
    busy = true;
    const QString hex = maskhex();
    const QByteArray masks = QByteArray::fromHex(hex.toLatin1());
    DeviceData *const device = gMainApp->getcurdevice();
    progress->setValue(0);
    progress->show();
    channelexchange::Request request;
    request.code = 0x54;
    request.timeoutms = kAckTimeoutMs;
    request.word = QStringLiteral("link");
    request.dataword = QStringLiteral("linkdata");
    // The processor took the groups when it reports the masks sent.
    request.confirmed = [masks](const QByteArray &image) {
        return image.mid(kImageLinkMask, masks.size()) == masks;
    };
    channelexchange::BusyCursor cursor;
    const channelexchange::Result result = channelexchange::run(
        request, [hex]() { gMainApp->sendlinks(hex); }, [this](int value) { progress->setValue(value); });
    bool reload = result == channelexchange::Result::Done || result == channelexchange::Result::Differs;
    // Acknowledged, but the program could not be read back: the processor
    // links its channels by the masks it acknowledged, so the model takes
    // them, and the pages and link switches follow; the rest stays as it was.
    if (result == channelexchange::Result::ReadFailed && gDeviceList.contains(device)) {
        for (int ch = 0; ch < masks.size(); ++ch)
            device->setlinkmask(ch, quint8(masks[ch]));
        reload = gMainApp->getcurdevice() == device;
    }
    if (reload)
        emit updataallviews();
    // What the processor holds is shown, not what was asked.
    if (result == channelexchange::Result::Differs && gMainApp->getcurdevice() == device)
        loadlinkmasks(uchar(device->gettype()));
    cursor.end();
    progress->hide();
    busy = false;

    switch (result) {
    case channelexchange::Result::Done:
        break;
    case channelexchange::Result::NoAck:
    case channelexchange::Result::Differs:
        Prompts::critical(this, tr2("Set Link Failed", "设置链接失败"), tr2("please try again", "请重试"));
        break;
    case channelexchange::Result::LineDropped:
        Prompts::critical(this, tr2("Set Link Failed", "设置链接失败"), linedroppedtext());
        break;
    case channelexchange::Result::ReadFailed:
        Prompts::warning(this, tr2("Set Link", "设置链接"),
                         tr2("The link was set, but the current program could not be read completely",
                             "链接已设置，但无法完整读取当前程序"));
        break;
    case channelexchange::Result::Closing:
        close();
        break;
    }
}
