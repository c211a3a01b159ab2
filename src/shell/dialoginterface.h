#pragma once

// The network adapter chooser and the sender of the discovery request. The
// user picks the PC adapter whose network is searched; confirming sends
// "AreYouTavisenLink?" to that network's directed broadcast address, UDP port
// 9999, hands every reply on as it arrives and, one second later, signals
// that the search window is over; it signals the window's start too, before
// the request leaves. The discovery socket of the last confirmed choice keeps
// listening after the window: a processor that answers late is still handed
// on (the main window probes it when the next search ends). The next choice,
// or the dialog's end, deletes the socket; answers to its port are then no
// longer received.

#include <QDialog>
#include <QHostAddress>
#include <QList>
#include <QStringList>

class QLabel;
class QPushButton;
class QRadioButton;
class QUdpSocket;
class QVBoxLayout;

class dialoginterface : public QDialog
{
    Q_OBJECT
public:
    static constexpr quint16 kDiscoveryPort = 9999;
    static constexpr int kSearchWindowMs = 1000;
    // Datagrams read in one go; under a flood the rest waits for the next
    // turn of the event loop, so the window keeps running, during the search
    // window and while the socket listens between searches.
    static constexpr int kDatagramsPerRead = 16;
    // The longest datagram taken as an answer. A processor answers with two
    // short lines (about 22 bytes); this leaves room for a model line and a
    // few more lines many times longer. Anything longer is read and dropped
    // unsplit, so a host flooding the port costs the window next to nothing.
    static constexpr int kMaxAnswerBytes = 512;

    // The widgets, built by the constructor.
    struct Form {
        QLabel *background = nullptr;
        QWidget *verticalLayoutWidget = nullptr;
        QVBoxLayout *VLayout = nullptr;
        QLabel *label = nullptr;
        QPushButton *pb_select = nullptr;
    };

    explicit dialoginterface(QWidget *parent = nullptr);
    ~dialoginterface() override;

    // The discovery request, 18 bytes, nothing else.
    static QByteArray discoveryrequest();
    // The words of one discovery answer: its lines, up to its first zero byte.
    static QStringList discoverywords(const QByteArray &datagram);
    // The directed broadcast address of the network of ip with this netmask
    // (ip OR NOT mask); null when either is not an IPv4 address.
    static QHostAddress directedbroadcast(const QHostAddress &ip, const QHostAddress &mask);

    const Form *form() const { return ui; }
    const QList<QRadioButton *> &radiobuttons() const { return radio_bt_list; }
    QHostAddress interfaceip() const { return interface_ip; }
    QString interfacemask() const { return interface_mask; }
    QUdpSocket *udpsocket() const { return udp_open ? udp_socket : nullptr; }
    // While held, answers arriving after the search window wait in the
    // socket instead of being read: the main window holds them while it
    // probes, so a host flooding the port cannot crowd out a processor's
    // find reply. Released, what waited is read and handed on. A new
    // search releases the hold: its window reads as usual.
    void holdreading(bool hold);

public slots:
    void on_pb_select_clicked();
    void getstr();
    void udp_find_dev();
    void refreshLanText();

signals:
    void tcpfindok(uchar type, uchar addr, const QHostAddress &ip);
    void trytofinddev(const QStringList &lines, const QHostAddress &sender);
    // A search window opens: what is handed on from here until
    // updSearchFinishd answers this search.
    void searchStarted();
    void updSearchFinishd();
    void send_udp_flag(bool open);

private:
    void readudpdata();
    void clearlist();
    void closeudp();

    Form *ui;
    QList<QRadioButton *> radio_bt_list;
    QHostAddress interface_ip;
    QString interface_mask;
    QUdpSocket *udp_socket = nullptr;
    bool udp_open = false;
    bool m_held = false;           // answers wait in the socket (holdreading)
    bool m_reading = false;        // inside readudpdata: answers are being handed on
    qint64 m_readdatagrams = 0;    // datagrams taken by the current socket
    qint64 m_droppeddatagrams = 0; // and dropped as longer than an answer
};
