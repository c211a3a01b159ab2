#include "dialogcopy.h"
#include "ui_dialogcopy.h"

#include "channelexchange.h"
#include "devicedata.h"
#include "exchange.h"
#include "mainapp.h"
#include "programimage.h"
#include "programreader.h"
#include "prompts.h"

#include <QRadioButton>

using channelexchange::tr2;

namespace
{
constexpr int kOutputCode = 0x10;

// The destination set for source n (1-based) of count channels the device
// has: the next of them is selected (wrapping), the source's own disabled.
void couple(QRadioButton *const *dest, int size, int count, int n)
{
    if (n < 1 || n > size)
        return;
    const int next = n < count ? n : 0;
    dest[next]->setChecked(true);
    for (int k = 0; k < size; ++k)
        dest[k]->setEnabled(k != n - 1);
}
} // namespace

DialogCopy::DialogCopy(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DialogCopy)
{
    ui->setupUi(this);
    QRadioButton *const ins[] = {ui->rbcopya, ui->rbcopyb, ui->rbcopyc, ui->rbcopyd};
    QRadioButton *const ind[] = {ui->rbcopya1, ui->rbcopyb1, ui->rbcopyc1, ui->rbcopyd1};
    QRadioButton *const outs[] = {ui->rbcopyout1, ui->rbcopyout2, ui->rbcopyout3, ui->rbcopyout4,
                                  ui->rbcopyout5, ui->rbcopyout6, ui->rbcopyout7, ui->rbcopyout8};
    QRadioButton *const outd[] = {ui->rbcopyout11, ui->rbcopyout21, ui->rbcopyout31, ui->rbcopyout41,
                                  ui->rbcopyout51, ui->rbcopyout61, ui->rbcopyout71, ui->rbcopyout81};
    std::copy(std::begin(ins), std::end(ins), insource);
    std::copy(std::begin(ind), std::end(ind), indest);
    std::copy(std::begin(outs), std::end(outs), outsource);
    std::copy(std::begin(outd), std::end(outd), outdest);

    updatecopyradiobtns(1);
    updatecopyradiooutbtns(1);
    ui->rbcopya->setChecked(true);
    ui->rbcopyout1->setChecked(true);
    settexts();
}

DialogCopy::~DialogCopy()
{
    delete ui;
}

void DialogCopy::settexts()
{
    setWindowTitle(tr2("Set Copy", "拷贝设置"));
    ui->groupBox_6->setTitle(tr2("Copy Control", "拷贝控制"));
    ui->groupBox_8->setTitle(tr2("IN PUT", "输入"));
    ui->label_12->setText(tr2("Source", "资源"));
    ui->label_20->setText(tr2("Source", "资源"));
    ui->label_14->setText(tr2("Destination", "目标"));
    ui->label_21->setText(tr2("Destination", "目标"));
    ui->inputcopy->setText(tr2("Input Copy", "拷贝输入"));
    ui->groupBox_9->setTitle(tr2("OUT PUT", "输出"));
    ui->inputcopy_2->setText(tr2("Output Copy", "拷贝输出"));
    ui->pushButton_copy->setText(tr2("EXIT", "退出"));
}

void DialogCopy::initcopy(uchar type)
{
    inputs = type == 0x16 ? 3 : type == 0x14 ? 2 : kInputs;
    outputs = type == 0x16 ? 6 : type == 0x14 ? 4 : kOutputs;
    for (int k = 0; k < kInputs; ++k) {
        insource[k]->setVisible(k < inputs);
        indest[k]->setVisible(k < inputs);
    }
    for (int k = 0; k < kOutputs; ++k) {
        outsource[k]->setVisible(k < outputs);
        outdest[k]->setVisible(k < outputs);
    }
    // A selection on a channel the device lacks moves to one it has.
    const int is = selected(insource, kInputs), os = selected(outsource, kOutputs);
    if (is >= inputs) {
        insource[0]->setChecked(true);
        updatecopyradiobtns(1);
    } else if (selected(indest, kInputs) >= inputs) {
        updatecopyradiobtns(is + 1);
    }
    if (os >= outputs) {
        outsource[0]->setChecked(true);
        updatecopyradiooutbtns(1);
    } else if (selected(outdest, kOutputs) >= outputs) {
        updatecopyradiooutbtns(os + 1);
    }
}

int DialogCopy::selected(QRadioButton *const *set, int count)
{
    for (int k = 0; k < count; ++k)
        if (set[k]->isChecked())
            return k;
    return 0;
}

int DialogCopy::inputsource() const
{
    return selected(insource, kInputs);
}

int DialogCopy::inputdestination() const
{
    return selected(indest, kInputs);
}

int DialogCopy::outputsource() const
{
    return kOutputCode + selected(outsource, kOutputs);
}

int DialogCopy::outputdestination() const
{
    return kOutputCode + selected(outdest, kOutputs);
}

void DialogCopy::updatecopyradiobtns(int n)
{
    couple(indest, kInputs, inputs, n);
}

void DialogCopy::updatecopyradiooutbtns(int n)
{
    couple(outdest, kOutputs, outputs, n);
}

void DialogCopy::sourceclicked(bool output, int n)
{
    QRadioButton *const button = output ? outsource[n - 1] : insource[n - 1];
    if (!button->isChecked())
        return;
    if (output)
        updatecopyradiooutbtns(n);
    else
        updatecopyradiobtns(n);
}

void DialogCopy::on_rbcopya_clicked()
{
    sourceclicked(false, 1);
}
void DialogCopy::on_rbcopyb_clicked()
{
    sourceclicked(false, 2);
}
void DialogCopy::on_rbcopyc_clicked()
{
    sourceclicked(false, 3);
}
void DialogCopy::on_rbcopyd_clicked()
{
    sourceclicked(false, 4);
}
void DialogCopy::on_rbcopyout1_clicked()
{
    sourceclicked(true, 1);
}
void DialogCopy::on_rbcopyout2_clicked()
{
    sourceclicked(true, 2);
}
void DialogCopy::on_rbcopyout3_clicked()
{
    sourceclicked(true, 3);
}
void DialogCopy::on_rbcopyout4_clicked()
{
    sourceclicked(true, 4);
}
void DialogCopy::on_rbcopyout5_clicked()
{
    sourceclicked(true, 5);
}
void DialogCopy::on_rbcopyout6_clicked()
{
    sourceclicked(true, 6);
}
void DialogCopy::on_rbcopyout7_clicked()
{
    sourceclicked(true, 7);
}
void DialogCopy::on_rbcopyout8_clicked()
{
    sourceclicked(true, 8);
}

void DialogCopy::on_pushButton_copy_clicked()
{
    close();
}

void DialogCopy::on_inputcopy_clicked()
{
    copy(false);
}

void DialogCopy::on_inputcopy_2_clicked()
{
    copy(true);
}

void DialogCopy::copyoutputgeq(DeviceData *d, int from, int to)
{
    // The device may have left the list while the copy ran.
    if (!d || !gDeviceList.contains(d))
        return;
    const int first = DeviceData::kInputCount;
    for (int b = 0; b < DeviceData::kGeqBandCount; ++b)
        d->setgeq(first + to, b, d->getgeqgain(first + from, b), d->getgeqpass(first + from, b));
}

int DialogCopy::channelindex(int code)
{
    return code >= kOutputCode ? DeviceData::kInputCount + code - kOutputCode : code;
}

bool DialogCopy::copied(const QByteArray &image, int from, int to)
{
    if (image.size() != kProgramImageSize || from < 0 || to < 0 || from >= DeviceData::kChannelCount ||
        to >= DeviceData::kChannelCount || (from < DeviceData::kInputCount) != (to < DeviceData::kInputCount))
        return false;
    const auto same = [&image](int base, int stride, int a, int b) {
        return image.mid(base + stride * a, stride) == image.mid(base + stride * b, stride);
    };
    // Every record of a channel the processor copies: mute and gain, the
    // parametric bands, bypass, delay and limiter; an input's graphic EQ; an
    // output's filters, crossover, switch, routing and peak limiter.
    if (!same(kImageGain, kImageGainStride, from, to) || !same(kImagePeq, kImagePeqStride, from, to) ||
        !same(kImageBypass, 1, from, to) || !same(kImageDelay, kImageDelayStride, from, to) ||
        !same(kImageLimiter, kImageLimiterStride, from, to))
        return false;
    if (from < DeviceData::kInputCount)
        return same(kImageGeq, kImageGeqStride, from, to);
    const int o = from - DeviceData::kInputCount, p = to - DeviceData::kInputCount;
    return same(kImageFilters, kImageFiltersStride, o, p) &&
           same(kImageCrossover, kImageCrossoverStride, o, p) && same(kImageOutSwitch, 1, o, p) &&
           same(kImageRouting, 1, o, p) && same(kImagePeakLimiter, kImagePeakLimiterStride, o, p);
}

void DialogCopy::copy(bool output)
{
    if (busy || !gMainApp)
        return;
    const int source = output ? outputsource() : inputsource();
    const int destination = output ? outputdestination() : inputdestination();
    // Only two different channels the device has are ever copied.
    const int count = output ? outputs : inputs;
    const int base = output ? kOutputCode : 0;
    if (source == destination || source - base >= count || destination - base >= count)
        return;
    DeviceData *d = gMainApp->getcurdevice();
    if (output && !d->getcomconnected() && !d->gettcpconnected()) {
        Prompts::critical(this, tr2("Can't Copy Data", "无法拷贝数据"),
                          tr2("Please Connect First", "请先连接"));
        return;
    }
    busy = true;
    channelexchange::Request request;
    request.code = 0x55;
    request.timeoutms = kAckTimeoutMs;
    request.word = QString::fromLatin1(output ? "copyout" : "copy");
    request.dataword = QStringLiteral("copydata");
    const int from = channelindex(source), to = channelindex(destination);
    request.confirmed = [from, to](const QByteArray &image) { return copied(image, from, to); };
    channelexchange::BusyCursor cursor;
    const channelexchange::Result result =
        channelexchange::run(request, [source, destination]() { gMainApp->sendcopy(source, destination); });
    // The processor copied the output's graphic EQ too, which the program
    // image read back does not hold: the model of the device that took the
    // copy takes it once the copy was acknowledged, whether or not the
    // read-back succeeded.
    if (output && (result == channelexchange::Result::Done || result == channelexchange::Result::ReadFailed))
        copyoutputgeq(d, source - kOutputCode, destination - kOutputCode);
    if (result == channelexchange::Result::Done || result == channelexchange::Result::Differs)
        emit updataallviews();
    cursor.end();
    busy = false;

    switch (result) {
    case channelexchange::Result::Done:
        break;
    case channelexchange::Result::NoAck:
    case channelexchange::Result::Differs:
        Prompts::critical(this, tr2("Copy Data Failed", "拷贝数据失败"), tr2("please try again", "请重试"));
        break;
    case channelexchange::Result::LineDropped:
        Prompts::critical(this, tr2("Copy Data Failed", "拷贝数据失败"), linedroppedtext());
        break;
    case channelexchange::Result::ReadFailed:
        ProgramReader::showfailure(this);
        break;
    case channelexchange::Result::Closing:
        close();
        break;
    }
}
