#include "formchtool.h"
#include "ui_formchtool.h"

#include "devicelink.h"
#include "hextext.h"
#include "mainapp.h"

#include <QDebug>

const char *const FormChTool::kNormalText = "color: rgb(255, 255, 255);";
const char *const FormChTool::kCurrentText = "color: rgb(0, 0, 0);";

namespace
{

struct TypeWord {
    uchar type;
    const char *word;
};

// Every type word is exactly seven characters long.
const TypeWord typewords[] = {{0x18, "4IN8OUT"}, {0x16, "3IN6OUT"}, {0x14, "2IN4OUT"}};

} // namespace

FormChTool::FormChTool(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui_FormChTool)
{
    ui->setupUi(this);
    QPushButton *const list[kSlots] = {
        ui->btnleft910,   ui->btnleft720,    ui->btnleft720_2, ui->btnleft910_2, ui->btnleft910_3,
        ui->btnleft910_4, ui->btnleft910_5,  ui->btnleft910_6, ui->btnleft910_7, ui->btnleft910_8,
        ui->btnleft910_9, ui->btnleft910_10, ui->btnleft910_11};
    for (int i = 0; i < kSlots; ++i) {
        buttons[i] = list[i];
        if (gMainApp) {
            gMainApp->setslotused(i, 0);
            gMainApp->setslotonline(i, 0);
        }
    }
    resetguibtns();
    hideguibtns();
}

FormChTool::~FormChTool()
{
    delete ui;
}

QString FormChTool::slottext(uchar type, uchar addr)
{
    for (const TypeWord &t : typewords) {
        if (t.type == type)
            return QLatin1String(t.word) + QLatin1Char(':') + bytestohex(QByteArray(1, char(addr)));
    }
    // Any other type has no prefix: the slot shows the address alone.
    return bytestohex(QByteArray(1, char(addr)));
}

uchar FormChTool::slottype(const QString &text)
{
    const QString word = text.left(7);
    for (const TypeWord &t : typewords) {
        if (word == QLatin1String(t.word))
            return t.type;
    }
    return 0;
}

bool FormChTool::slotaddress(const QString &text, uchar &addr)
{
    const QByteArray bytes = hextobytes(text.right(2));
    if (bytes.isEmpty())
        return false;
    addr = uchar(bytes.at(0));
    return true;
}

QPushButton *FormChTool::slotbutton(int k) const
{
    return (k >= 0 && k < kSlots) ? buttons[k] : nullptr;
}

void FormChTool::resetguibtns()
{
    for (QPushButton *b : buttons)
        b->setStyleSheet(QLatin1String(kNormalText));
}

void FormChTool::hideguibtns()
{
    for (QPushButton *b : buttons)
        b->hide();
}

void FormChTool::showguibtns(int k)
{
    qDebug() << "showguibtns" << k;
    QPushButton *b = slotbutton(k);
    if (!b)
        return;
    if (b->isChecked())
        b->setStyleSheet(QLatin1String(kCurrentText));
    b->setText(gMainApp ? gMainApp->getslotname(k) : QString());
    b->show();
}

void FormChTool::selectguibtn(int k)
{
    qDebug() << "selectguibtn" << k;
    QPushButton *b = slotbutton(k);
    if (!b)
        return;
    b->setChecked(true);
    resetguibtns();
    clickslot(k);
}

void FormChTool::forgetchoice()
{
    for (QPushButton *b : buttons) {
        // Exclusive buttons keep one checked unless this is switched off.
        b->setAutoExclusive(false);
        b->setChecked(false);
        b->setAutoExclusive(true);
    }
    resetguibtns();
}

void FormChTool::refreshguibtns(int)
{
    hideguibtns();
    for (int i = 0; i < kSlots; ++i) {
        if (gMainApp && gMainApp->getslotused(i))
            showguibtns(i);
    }
}

void FormChTool::clickslot(int k)
{
    // Inside the waits of a running exchange (a connect with its download, a
    // program file written part by part) a slot change would send the rest of
    // it to another processor and store its replies in another record: the
    // click is refused and the check mark goes back to the current slot.
    if (gConnectBusy) {
        for (QPushButton *b : buttons) {
            if (b->styleSheet() == QLatin1String(kCurrentText)) {
                b->setChecked(true);
                return;
            }
        }
        buttons[k]->setAutoExclusive(false);
        buttons[k]->setChecked(false);
        buttons[k]->setAutoExclusive(true);
        return;
    }
    resetguibtns();
    QPushButton *b = buttons[k];
    b->setStyleSheet(QLatin1String(kCurrentText));
    // The text is the one the main window wrote for the slot; a type word that
    // names no type leaves the current type as it was, and so does an address
    // that makes no byte.
    const QString text = b->text();
    uchar addr = 0;
    if (gMainApp) {
        if (const uchar type = slottype(text))
            gMainApp->setdevtype(type);
        if (slotaddress(text, addr))
            gMainApp->setdevaddr(addr);
    }
    qDebug() << "slot address" << addr;
    emit sendbntnum(k);
}

void FormChTool::on_btnleft910_clicked()
{
    clickslot(0);
}
void FormChTool::on_btnleft720_clicked()
{
    clickslot(1);
}
void FormChTool::on_btnleft720_2_clicked()
{
    clickslot(2);
}
void FormChTool::on_btnleft910_2_clicked()
{
    clickslot(3);
}
void FormChTool::on_btnleft910_3_clicked()
{
    clickslot(4);
}
void FormChTool::on_btnleft910_4_clicked()
{
    clickslot(5);
}
void FormChTool::on_btnleft910_5_clicked()
{
    clickslot(6);
}
void FormChTool::on_btnleft910_6_clicked()
{
    clickslot(7);
}
void FormChTool::on_btnleft910_7_clicked()
{
    clickslot(8);
}
void FormChTool::on_btnleft910_8_clicked()
{
    clickslot(9);
}
void FormChTool::on_btnleft910_9_clicked()
{
    clickslot(10);
}
void FormChTool::on_btnleft910_10_clicked()
{
    clickslot(11);
}
void FormChTool::on_btnleft910_11_clicked()
{
    clickslot(12);
}
