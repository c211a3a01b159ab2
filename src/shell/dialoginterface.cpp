#include "dialoginterface.h"

#include "globalcontrl.h"
#include "mainapp.h"

#include <QDebug>
#include <QHBoxLayout>
#include <QLabel>
#include <QNetworkInterface>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QUdpSocket>
#include <QVBoxLayout>

dialoginterface::dialoginterface(QWidget *parent)
    : QDialog(parent)
    , ui(new Form)
{
    setObjectName(QStringLiteral("dialoginterface"));
    resize(570, 349);
    ui->background = new QLabel(this);
    ui->background->setObjectName(QStringLiteral("background"));
    ui->background->setGeometry(0, 0, 571, 351);
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(10);
    ui->background->setFont(font);
    ui->background->setStyleSheet(QStringLiteral("background-image: url(:/back/skin/delay10.png);"));
    ui->verticalLayoutWidget = new QWidget(this);
    ui->verticalLayoutWidget->setObjectName(QStringLiteral("verticalLayoutWidget"));
    ui->verticalLayoutWidget->setGeometry(20, 50, 521, 221);
    ui->VLayout = new QVBoxLayout(ui->verticalLayoutWidget);
    ui->VLayout->setObjectName(QStringLiteral("VLayout"));
    ui->VLayout->setContentsMargins(0, 0, 0, 0);
    ui->label = new QLabel(this);
    ui->label->setObjectName(QStringLiteral("label"));
    ui->label->setGeometry(230, 10, 101, 31);
    ui->pb_select = new QPushButton(this);
    ui->pb_select->setObjectName(QStringLiteral("pb_select"));
    ui->pb_select->setGeometry(240, 290, 81, 31);
    ui->pb_select->setCursor(QCursor(Qt::PointingHandCursor));
    ui->pb_select->setStyleSheet(
        QStringLiteral("border-image: url(:/buttons/skin/abtn.png);\ncolor: rgb(200, 200, 200);"));
    ui->pb_select->setCheckable(false);

    setWindowTitle(QStringLiteral("Dialog"));
    ui->label->setText(QString::fromUtf8("<html><head/><body><p><b>网络列表</b></p></body></html>"));
    ui->pb_select->setText(QString::fromUtf8("确定"));

    if (gGlobalContrl)
        connect(gGlobalContrl, &GlobalContrl::refreshLangangeState, this, &dialoginterface::refreshLanText);
    QMetaObject::connectSlotsByName(this);
    udp_open = false;
}

dialoginterface::~dialoginterface()
{
    closeudp();
    delete ui;
}

QByteArray dialoginterface::discoveryrequest()
{
    return QByteArrayLiteral("AreYouTavisenLink?");
}

QHostAddress dialoginterface::directedbroadcast(const QHostAddress &ip, const QHostAddress &mask)
{
    bool ipok = false;
    bool maskok = false;
    const quint32 a = ip.toIPv4Address(&ipok);
    const quint32 m = mask.toIPv4Address(&maskok);
    if (!ipok || !maskok || ip.isNull() || mask.isNull())
        return QHostAddress();
    // A netmask is a run of one bits followed by zero bits; 0.0.0.0 (which
    // would give 255.255.255.255) and masks of /31 and /32 name no network
    // to broadcast on.
    const quint32 host = ~m;
    if ((host & (host + 1)) != 0 || m == 0 || host < 3)
        return QHostAddress();
    return QHostAddress(a | host);
}

void dialoginterface::refreshLanText()
{
    const bool en = !gGlobalContrl || gGlobalContrl->getlanguage() == 0;
    setWindowTitle(en ? QStringLiteral("Network selection") : QString::fromUtf8("网络选择"));
    ui->label->setText(en ? QStringLiteral("Network list") : QString::fromUtf8("网络列表"));
    ui->pb_select->setText(en ? QStringLiteral("OK") : QString::fromUtf8("确定"));
}

void dialoginterface::clearlist()
{
    radio_bt_list.clear();
    while (QLayoutItem *item = ui->VLayout->takeAt(0)) {
        if (QLayout *row = item->layout()) {
            while (QLayoutItem *child = row->takeAt(0)) {
                delete child->widget();
                delete child;
            }
        }
        delete item->widget();
        delete item;
    }
}

void dialoginterface::getstr()
{
    qDebug() << "dialoginterface::getstr";
    QPalette palette = ui->pb_select->palette();
    palette.setBrush(QPalette::All, QPalette::ButtonText, QBrush(Qt::gray, Qt::SolidPattern));
    ui->pb_select->setPalette(palette);
    clearlist();

    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &ni : interfaces) {
        const auto flags = ni.flags();
        if (!(flags & QNetworkInterface::IsRunning) || (flags & QNetworkInterface::IsLoopBack))
            continue;
        if (ni.type() == QNetworkInterface::Unknown || ni.type() == QNetworkInterface::Virtual)
            continue;
        if (ni.humanReadableName().toLower().contains(QLatin1String("vmware")))
            continue;
        auto *radio = new QRadioButton(ni.humanReadableName());
        radio_bt_list.append(radio);
        auto *address = new QLabel(QStringLiteral("\tIP:=="));
        for (const QNetworkAddressEntry &entry : ni.addressEntries()) {
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol)
                address->setText(QStringLiteral("\tIP:%1").arg(entry.ip().toString()));
            qDebug() << ni.name() << ni.humanReadableName() << entry.ip() << entry.netmask();
        }
        QFont font = radio->font();
        font.setPixelSize(17);
        radio->setFont(font);
        address->setFont(font);
        auto *row = new QHBoxLayout;
        row->addWidget(radio);
        row->addWidget(address);
        ui->VLayout->addLayout(row);
        ui->VLayout->addWidget(new QLabel(QString(87, QLatin1Char('-'))));
    }
    ui->VLayout->setAlignment(Qt::AlignTop);
    qDebug() << "radio_bt_list.size()=====" << radio_bt_list.size();
    qDebug() << "ui->VLayout->count=" << ui->VLayout->count();
}

void dialoginterface::on_pb_select_clicked()
{
    QString chosen;
    for (QRadioButton *radio : qAsConst(radio_bt_list)) {
        if (radio->isChecked()) {
            chosen = radio->text();
            break;
        }
    }
    if (chosen.isNull()) {
        qDebug() << "Did not choose interface";
        hide();
        return;
    }
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &ni : interfaces) {
        if (ni.humanReadableName() != chosen)
            continue;
        for (const QNetworkAddressEntry &entry : ni.addressEntries()) {
            if (entry.ip().protocol() != QAbstractSocket::IPv4Protocol)
                continue;
            interface_ip = entry.ip();
            interface_mask = entry.netmask().toString();
        }
    }
    // The socket of the previous choice goes: answers to its port are no
    // longer received.
    closeudp();
    m_held = false;
    auto *socket = new QUdpSocket;
    udp_socket = socket;
    udp_open = true;
    socket->open(QIODevice::ReadWrite);
    // Only the current socket hands answers on.
    connect(socket, &QUdpSocket::readyRead, this, [this, socket]() {
        if (socket == udp_socket)
            readudpdata();
    });
    emit searchStarted();
    hide();
    udp_find_dev();
    MainApp::delayms(kSearchWindowMs);
    // The search window is over. The socket stays open until the next
    // choice: a processor answering later is still handed on, and the main
    // window probes it when the next search ends. Listening costs the
    // window no more than the search does: each read event takes a bounded
    // slice, datagrams longer than an answer are dropped unread, and the
    // main window keeps a bounded number of addresses (between searches a
    // small one of their own, so they never take the next search's room).
    emit updSearchFinishd();
}

void dialoginterface::closeudp()
{
    if (!udp_socket)
        return;
    qDebug() << "discovery socket closed:" << m_readdatagrams << "datagrams taken," << m_droppeddatagrams
             << "longer than an answer dropped";
    m_readdatagrams = 0;
    m_droppeddatagrams = 0;
    QUdpSocket *socket = udp_socket;
    udp_socket = nullptr;
    udp_open = false;
    socket->disconnect(this);
    socket->close(); // the port is free from here on
    // A handler of an answer that ran the event loop into a new choice is
    // still inside this socket's readyRead: the object goes once it is back.
    if (m_reading)
        socket->deleteLater();
    else
        delete socket;
}

void dialoginterface::udp_find_dev()
{
    if (!udp_open) {
        emit send_udp_flag(false);
        return;
    }
    // Any IPv4 netmask forms its network's broadcast address.
    const QHostAddress destination = directedbroadcast(interface_ip, QHostAddress(interface_mask));
    qDebug() << interface_ip << "destaddr:" << destination << udp_socket->state() << discoveryrequest();
    if (destination.isNull())
        return;
    udp_socket->writeDatagram(discoveryrequest(), destination, kDiscoveryPort);
}

QStringList dialoginterface::discoverywords(const QByteArray &datagram)
{
    // The answer ends at its first zero byte; its lines are the words.
    const int zero = datagram.indexOf('\0');
    return QString::fromUtf8(zero >= 0 ? datagram.left(zero) : datagram).split(QLatin1Char('\n'));
}

void dialoginterface::holdreading(bool hold)
{
    m_held = hold;
    // A datagram left unread keeps the socket from signalling again until
    // one is read: reading now takes up where the hold stopped.
    if (!hold)
        readudpdata();
}

void dialoginterface::readudpdata()
{
    QUdpSocket *const socket = udp_socket;
    if (!socket || m_reading || m_held)
        return;
    m_reading = true;
    const auto done = qScopeGuard([this]() { m_reading = false; });
    // The datagrams that are waiting, each read at its own size: processors
    // answering at the same moment all get through. A bounded number per
    // call: under a flood the socket signals again and the window keeps
    // running in between.
    // A handler of an answer may make a new choice: the old socket is then
    // no longer read.
    for (int n = 0; n < kDatagramsPerRead && socket == udp_socket && socket->hasPendingDatagrams(); ++n) {
        const qint64 size = socket->pendingDatagramSize();
        QHostAddress sender;
        quint16 port = 0;
        if (size > kMaxAnswerBytes) {
            char first = 0;
            if (socket->readDatagram(&first, 1, &sender, &port) < 0)
                break;
            if (++m_droppeddatagrams <= kDatagramsPerRead)
                qDebug() << "udp datagram of" << size << "bytes dropped";
            continue;
        }
        QByteArray data(int(qMax<qint64>(size, 0)), '\0');
        const qint64 got = socket->readDatagram(data.data(), data.size(), &sender, &port);
        if (got < 0)
            break;
        data.truncate(int(got));
        // Only the size is logged (the text comes from any host on the
        // network), and for the first datagrams of a search only.
        if (++m_readdatagrams <= kDatagramsPerRead)
            qDebug() << "udp_data:" << data.size() << "bytes";
        emit trytofinddev(discoverywords(data), sender);
    }
}
