#pragma once

// DeviceLink: the link to the current processor as the main window runs it.
// Connecting and disconnecting (serial or TCP), the initial download of the
// current program in 26 blocks, the reply handlers that store acknowledgements
// and data in the current record, the TCP data link with its reply dispatch,
// and the TCP probe of the addresses a UDP discovery collected.
//
// The main window owns one DeviceLink, forwards its own operations to it and
// relays the signals below to its pages and labels.
//
// Every reply read from a socket goes through a ReplyAssembler, so replies
// that TCP splits over several reads or merges into one are each dispatched
// whole and on their own. Everything here runs on the GUI thread.

#include "replyassembler.h"
#include "longexchange.h"
#include "replydispatch.h"
#include "replyrate.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTcpSocket>
#include <QTimer>

class CComCtrl;
class NetProbe;
class QTimer;
class DeviceData;
class QTcpSocket;
class QWidget;

class DeviceLink : public QObject
{
    Q_OBJECT
public:
    static constexpr quint16 kTcpPort = 6000;
    static constexpr int kBlockCount = 26;
    // Blocks requested again after the first pass, at most.
    static constexpr int kReRequests = 11;
    // Network search: distinct answering addresses a search keeps of its
    // own answers (those read inside its window), at most.
    static constexpr int kMaxSearchAddresses = 256;
    // Distinct addresses kept of the answers read after a window has ended
    // (the discovery socket listens on between searches), at most. They are
    // kept apart and probed when the next search ends, beside that search's
    // own answers, which start from an empty list with the whole bound above:
    // answers gathered between searches never take a search's room. A
    // processor answers late when it is slow or busy; a rack network holds a
    // handful of them, and one that found no room here still answers the
    // next request itself. Sixteen covers a rack's worth answering late
    // together, while a host answering from many source addresses between
    // searches adds at most sixteen addresses to the next probe run.
    static constexpr int kMaxLateAddresses = 16;
    // The probe of the answering addresses ends by this time at the latest
    // (scaled by the test-only time scale).
    static constexpr int kProbeBoundMs = 30000;
    // Bytes the data link's socket holds unread, at most (the serial port's
    // bound): a peer sending faster than the replies are handled is held
    // back by TCP instead of growing the application's memory.
    static constexpr int kReadBufferBytes = 64 * 1024;
    // Bytes read and dispatched in one go; the rest waits for the next turn
    // of the event loop, so the window keeps running under any stream.
    static constexpr int kReadSliceBytes = 4096;

    explicit DeviceLink(QObject *parent = nullptr);
    ~DeviceLink() override;

    // Parent of the boxes and the progress window this object shows.
    void setdialogparent(QWidget *parent) { m_dialogparent = parent; }

    // Connects the reply signals of the protocol engine to the handlers: the
    // window's wiring, and the tests' with an engine of their own.
    void connectreplies(CComCtrl *ctrl);

    QTcpSocket *socket() const { return m_socket; }

    // Whether a reply of this unit is for the unit the application talks to
    // (the current type and address): the handlers below take no other.
    static bool talkingto(uchar type, uchar address);
    // Unasked replies of the data link dropped beyond their rate.
    qint64 droppedreplies() const { return m_rate.dropped(); }
    // Every address the next probe run takes, in order: those carried into
    // the current search, its own answers, and the late answers read since
    // its window ended.
    QList<QHostAddress> searchdevices() const { return m_searchDevList + m_lateDevList; }
    // The late answers alone.
    const QList<QHostAddress> &latedevices() const { return m_lateDevList; }

    // The link state texts for the current record: "Net Online", "Com Online"
    // or "DisConnect" (by language), and the style of the online indicator.
    static QString onlinetext(const DeviceData *d, int language);
    static QString onlinestyle(const DeviceData *d);
    // Device view index of a device type: 0 for 24, 1 for 22, 2 for 20, -1 else.
    static int viewindex(int type);
    // "IP:" and the address, with an IPv4 address mapped into IPv6 shown plain.
    static QString iptext(const QHostAddress &address);

public slots:
    // Connects the current device, or disconnects it when it is connected.
    void connectdevice();
    // Connect (02) or disconnect (03) reply: characters 6 onwards of the frame.
    void connectok(const QString &s);
    // Reads the current program image and applies it; false when blocks were
    // still missing after the re-requests (the model is then left as it was).
    bool loaddevicedata();
    // Makes the listed device current and reloads every page. slotaddress is
    // the network address of the chosen device slot; hasslot false when no
    // slot was chosen yet (the current record is then refreshed as it is).
    void startgui(bool hasslot, const QHostAddress &slotaddress);
    // Reloads every page from the current record and sets the link switches
    // from it, as startgui does after a download; sends nothing.
    void loadpages();

    // Ends the link to the current device as the connect button does (the
    // processor is told; a network link closes) and waits until it is down,
    // about a second at most: then it is down, whatever the processor
    // answered. A network link up to another listed device ends too. Nothing
    // when no link is up.
    void endlinks();

    // Reply handlers: each works on the current record.
    void readprogramname(const QString &text);
    void loadcurprogramdata(const QString &text);
    void loadcurprogramisready();
    void loadcurprogram1to25isokflag();
    void loadwritecurprogram1to25isokflag();
    void loadcopy();
    void loadname();
    void getgainisok();
    void writeok(const QString &text);
    void muterevok(const QString &text);
    void lockreturn(bool locked);
    void logreturn();

    // The TCP data link.
    void tcpconnect();
    void tcpdisconnect();
    void gettheApptcpinfo(uchar type, uchar addr, uchar command, const QString &payload);
    bool sendtcpcmd(uchar type, uchar addr, uchar command, const QString &payload);
    // Reads and dispatches one slice of what the socket holds (at most
    // kReadSliceBytes); when more is there, the next slice follows on the
    // next turn of the event loop.
    void readtcpdata();
    // Bytes read from the data link's socket: every whole reply in them is
    // dispatched on its own, in order, unasked ones within their rate.
    void tcpdataReceived(const QByteArray &data, const QHostAddress &peer);
    void dealwithtcpframe(const QString &frame, const QHostAddress &sender);
    void dispatchtcpreply(const Reply &reply, const QHostAddress &sender);

    // Discovery replies and the probe of the collected addresses. A search
    // window opens with startsearch() and ends with checkSearchDeviceList(),
    // which probes what was collected; answers between the two are the
    // search's own, answers after the end are late ones.
    void trytofindtcpdev(const QStringList &words, const QHostAddress &sender);
    void startsearch();
    void checkSearchDeviceList();

    // A link that went away without a disconnect reply (the serial port was
    // unplugged or hung up, the TCP peer closed): every record's flags of
    // that transport are cleared and the link state is shown.
    void seriallinklost();
    void tcplinklost();

signals:
    // The link state changed: the window refreshes its online indicator.
    void onlinestatechanged();
    // Text for the status line ("comshow").
    void statustext(const QString &text);
    // The application style sheet and the "ipshow" text for the current device.
    void devicelooks(const QString &stylesheet, const QString &ipshow);
    // The download is applied: the window runs its startgui (it knows the
    // chosen device slot).
    void startguirequested();
    // A page button to mark as pressed (0 the main page).
    void buttonview(int page);
    // A connect reply arrived: the device goes online in its slot or is listed.
    void autofound(uchar type, uchar addr, const QHostAddress &ip);
    // A find reply arrived during a network probe.
    void tcpfindok(uchar type, uchar addr, const QHostAddress &ip);

    void updatesetview();
    void updatemainlock();
    void updategainlock();
    void updatedelaylock();
    void updategeqlock();
    void updatepeqlock();
    void updatelimitlock();

    void updatemainview(int k);
    void updategainview(int k);
    void updatedelayview(int k);
    void updategeqview(int k);
    void updatepeqview(int k);
    void updatelimitview(int k);
    void updatelimitview2(int k);

private:
    bool connectnetwork();
    // Ends the data link after a disconnect was sent: its reply is waited
    // for (a little), what is queued leaves and the socket closes.
    void closetcp();
    bool connectserial();
    // A connect that got no answer: the link state shown, and a short box.
    void noanswer(bool showlink);
    // A network connection that could not be made: its reason in a box, or
    // the silent processor's box when it timed out.
    void notconnected();
    void emitlockupdates(bool disconnected);
    // Waits for socket data, dispatching it, up to ms milliseconds.
    void waitsocket(int ms);
    // Whether the current record's link (either transport) is up.
    static bool linkup();
    // Whether the application closes or the running exchange was cancelled.
    static bool closing();
    void linklost();
    QString tr2(const char *english, const char *chinese) const;

    QTcpSocket *m_socket;
    ReplyAssembler m_assembler;
    ReplyRate m_rate;
    QElapsedTimer m_clock;
    // Feeds the assembler again when a cut-off fragment holds a whole reply back.
    QTimer m_recheck;
    // Why the last connection attempt failed.
    QAbstractSocket::SocketError m_connecterror = QAbstractSocket::UnknownSocketError;
    QString m_connecterrortext;
    bool m_slicequeued = false; // a zero timer will read the next slice
    QList<QHostAddress> m_searchDevList;
    QSet<QHostAddress> m_searchDevSet; // the same addresses, for merging
    NetProbe *m_probe = nullptr;       // the probe run in progress
    // The list above holds first what was carried into the current search
    // (m_searchCarried entries), then the search's own answers. Answers read
    // after the last window ended are kept apart.
    int m_searchCarried = 0;
    QList<QHostAddress> m_lateDevList;
    QSet<QHostAddress> m_lateDevSet;
    bool m_windowover = false; // a window has ended and no new one is open
    QWidget *m_dialogparent = nullptr;
};
