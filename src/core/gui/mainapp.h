#pragma once

// The controller of the application: the current device and its identity
// (type, address, network address) that every command goes to, the current
// channel of each page, the link switches and page loading flags the pages
// consult, small caches of display values, the thirteen device slots of the
// tab bar, the page sub-windows with their show and hide rules, the list of
// known devices, the serial address scan, the event-pumping delay, and one
// sender per processor command.
//
// Everything here runs on the GUI thread.

#include "curvemath.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVector>

class CComCtrl;
class DeviceData;
class DialogCom;
class QDialog;
class QTimer;
class QWidget;

class MainApp : public QObject
{
    Q_OBJECT
public:
    // The page sub-windows, in the order the main window hands them over.
    enum View {
        MainView = 0,
        GainView,
        DelayView,
        PeqView,
        GeqView,
        LimitView,
        SetView,
        Limit2View,
        ViewCount
    };
    static constexpr int kSlotCount = 13;
    static constexpr int kChannels = 12;
    static constexpr int kGeqBands = 31;
    static constexpr int kLogoBytes = 22 * 48;
    // Addresses a processor can take on a serial line.
    static constexpr int kFirstAddress = 1;
    static constexpr int kLastAddress = 32;
    // Name of the default record, current until a listed device is selected.
    static const char *const kDefaultName; // "PC Init Data"

    explicit MainApp(QObject *parent = nullptr);
    ~MainApp() override;

    // --- Flags the pages read and write directly ---------------------------
    // Non-zero while the current device has an input / output link group; the
    // editors copy a change to linked channels only while set.
    uchar inputlinkon = 0;
    uchar outputlinkon = 0;
    // Level metering allowed: 1 after showgainview, 0 after any other show.
    uchar meteron = 0;
    // Page loading flags: while one is set, its page's sender sends nothing.
    uchar gainloading = 0;
    uchar delayloading = 0;
    uchar geqloading = 0;
    uchar peqloading = 0;
    uchar limitloading = 0;
    uchar peaklimitloading = 0;
    // Logo upload: acknowledged blocks, the buffer the programs page builds
    // the bitmap in, and the buffer the blocks are sent from (22 x 48 bytes).
    int logocount = 0;
    uchar logobuild[kLogoBytes] = {};
    uchar logosend[kLogoBytes] = {};

    // Sets all six loading flags at once (device load in progress).
    void setallloading(uchar v);

    // --- Program-wide objects this controller talks to ---------------------
    // The protocol engine the serial path sends through (the program's one
    // engine unless a test hands another). Queued frames go out before the
    // engine's port closes.
    void setcomctrl(CComCtrl *ctrl);
    CComCtrl *getcomctrl() const { return comctrl; }
    void setaboutdialog(QDialog *dialog);
    void setcomdialog(DialogCom *dialog);

    // --- Page control -------------------------------------------------------
    void setview(View view, QWidget *window);
    QWidget *getview(View view) const;
    void initwindows();
    // The device lock keeps the detail pages closed (lock states 2 and 4).
    bool pageslocked() const;
    void showmainview();
    void showgainview();
    void showdelayview();
    void showeqview();
    void showgeqview();
    void showlimitview();
    void showlimit2view();
    void showsetview();
    bool hidegainview();
    bool hidedelayview();
    bool hideeqview();
    bool hidegeqview();
    bool hidelimitview();
    bool hidelimit2view();
    bool hidesetview();
    void showabout();
    void showcominfo();

    // --- Device slots (0..12) -----------------------------------------------
    void setslotused(int i, uchar v);
    uchar getslotused(int i) const;
    void setslotonline(int i, uchar v);
    uchar getslotonline(int i) const;
    void setslotname(int i, const QString &text);
    QString getslotname(int i) const;

    // --- Current device identity: where every command goes -----------------
    void setdevtype(uchar t) { devtype = t; }
    uchar getdevtype() const { return devtype; }
    // Whether the current device type has channel ch (0..11): the senders
    // refuse every other channel.
    bool haschannel(int ch) const;
    // The link group of channel ch on the current device (members ascending,
    // ch included; empty when ch is not linked), by the one rule every page
    // follows: its side's link switch is on and its mask names itself and
    // another channel.
    QVector<int> linkgroup(int ch) const;
    // The channel whose frame carries a change a page made to ch and the rest
    // of group (linkgroup(ch)): the processor applies it to exactly those
    // members the device has. preferred is the member the page would send
    // (-1: the group's highest); it is kept unless its frame would reach
    // another group, and ch is sent then.
    int linkcarrier(int ch, const QVector<int> &group, int preferred = -1) const;
    void setdevaddr(uchar a) { devaddr = a; }
    uchar getdevaddr() const { return devaddr; }
    void setdevip(const QHostAddress &ip) { devip = ip; }
    QHostAddress getdevip() const { return devip; }

    // The record every page reads and writes: a listed record or the default
    // record, never none.
    DeviceData *getcurdevice() const { return curdevice; }
    DeviceData *getdefaultdevice() const { return defaultdevice; }

    // --- Channels and caches ------------------------------------------------
    void setpeqchannel(int ch) { peqchannel = ch; }
    int getpeqchannel() const { return peqchannel; }
    void setgeqchannel(int ch) { geqchannel = ch; }
    int getgeqchannel() const { return geqchannel; }
    void setgainviewch(int n) { gainviewch = n; }
    int getgainviewch() const { return gainviewch; }
    void setdelayviewch(int n) { delayviewch = n; }
    int getdelayviewch() const { return delayviewch; }
    void setgeqviewch(int n) { geqviewch = n; }
    int getgeqviewch() const { return geqviewch; }
    void seteqviewch(int n) { eqviewch = n; }
    int geteqviewch() const { return eqviewch; }
    void setlimitviewch(int n) { limitviewch = n; }
    int getlimitviewch() const { return limitviewch; }
    void setlimit2channel(int n) { limit2channel = n; }
    int getlimit2channel() const { return limit2channel; }
    void setgaincache(int ch, float db);
    float getgaincache(int ch) const;
    void setdelaycache(int ch, float v);
    float getdelaycache(int ch) const;
    void setratiocache(int ch, int v);
    int getratiocache(int ch) const;
    void setthresholdcache(int ch, int v);
    int getthresholdcache(int ch) const;
    void setgeqgain(int band, double db);
    double getgeqgain(int band) const;
    void setmaxwindow(uchar v) { maxwindow = v; }
    uchar getmaxwindow() const { return maxwindow; }

    // --- Shortcuts on the current device and the response tables -----------
    void setmute(int ch, uchar v);
    bool getmute(int ch) const;
    float getfreqvalue(int index) const;
    float getqvalue(int width) const;
    double getgridfreq(int index) const;
    double findgridindex(int hz) const;
    float getpeqfreq(int band) const;
    double getpeqgain(int band) const;
    int getpeqallpass(int band) const;
    int getpeqwidth(int band) const;
    int getpeqtype(int band) const;
    float getpeqq(int band) const;
    int getpeqbandbypass(int band) const;
    int getgeqbandpass(int band) const;
    float getxoverhighfreq() const;
    float getxoverlowfreq() const;
    void setpeqbypassall(int ch, uchar v);
    void setgeqbypassall(int ch, uchar v);
    void setcurpeqbypassall(uchar v);
    int getcurpeqbypassall() const;
    void setcurgeqbypassall(uchar v);
    int getcurgeqbypassall() const;

    // --- Device list (gDeviceList) --------------------------------------------
    // A record is identified by (type, address, network address); "0.0.0.0"
    // marks a serial device.
    static DeviceData *adddevice(uchar type, uchar addr, const QHostAddress &ip);
    static bool hasdevice(uchar type, uchar addr, const QHostAddress &ip);
    static DeviceData *finddevice(uchar type, uchar addr, const QHostAddress &ip);
    static DeviceData *anytcpconnected();
    // The address a hand-added serial device of this type takes: the first
    // address from start on, wrapping within 1..32, that no listed serial
    // device of the type holds; 0 when all 32 are taken.
    static uchar nextfreeaddress(uchar type, int start);
    void removedevice(uchar type, uchar addr, const QHostAddress &ip);
    void selectdevice(uchar type, uchar addr, const QHostAddress &ip);
    void clearalltcpflags();
    void deletealldevices();

    // --- Waiting and scanning -----------------------------------------------
    // Returns once n milliseconds have passed (monotonic clock), handling every
    // pending event meanwhile. With excludeUserInput set, timers, socket and
    // port events still run but clicks and keys wait until it returns (a page
    // reloading from the model uses this).
    static void delayms(int n, bool excludeUserInput = false);
    // Makes the event loop handle, at its next pass, the user input a wait
    // that excluded it held back (every such wait ends with this).
    static void releaseinput();
    // Test-only: every wait of delayms and of the exchange timers (scaled())
    // lasts this fraction of its time. 1 in the product.
    static void settimescale(double scale);
    static double timescale();
    // A wait of n milliseconds under the time scale (never below 1 when n > 0).
    static int scaled(int n);
    // While set, delayms returns at once. The start-up reload of the pages
    // runs before any link exists: no reply or send can come during its
    // waits, and the window is not shown yet.
    static void setnowaits(bool on);
    void scandevices();

    // --- Senders --------------------------------------------------------------
    // The payload text of the last command built.
    QString getpayload() const { return payload; }
    void sendconnectreq();
    void senddisconnect();
    // The disconnect for another network device (the one whose link is up
    // while the current device connects), in its turn behind queued frames.
    void senddisconnectto(uchar type, uchar addr);
    // Sends every queued frame now, in order, waiting out the holds on the
    // spot (at most 50 ms each) without handling events: before any blocking
    // wait on the link and before the port or the socket closes, so that no
    // frame is lost or overtaken.
    void drainoutput();
    void disconnectall();
    void senddevicelock(int mode, const QString &passwordhex);
    void sendprojectlock(int mode, const QString &passwordhex, int times);
    void sendlogoblock(int block);
    void logsenddata();
    void sendpeqband(int channel, int band);
    void buildgeqband(int channel, int band);
    void sendbypassflags(int which);
    void sendxover(int channel, int kind);
    void sendfir(int channel);
    void sendlimit(int channel);
    void sendpeaklimit(int output);
    void sendgain(int channel);
    void senddelay(int channel);
    void sendoutputflag(int output);
    void sendrouting(int number);
    void sendlinks(const QString &maskhex);
    void sendcopy(int source, int destination);
    void sendreadlight();
    void sendwriteprogrampart(int program, int part);
    void sendreadprogrampart(int program, int part);
    void sendreadcurrentpart(int part);
    void sendrecallprogram(int program);
    void sendsaveprogram(int program, const QString &namehex);
    void sendreadprogramname(int program);
    void sendresetprograms();
    void senddeleteprogram(int program);

signals:
    // Metering was switched on (the gain page was asked for).
    void meteringon();
    // A command for a device reached over the network; the main window frames
    // it and writes it to the TCP connection.
    void sendtcpdatasignals(uchar type, uchar addr, uchar command, QString payload);

private:
    bool linkup() const;
    // Sends the payload field to the current type and address on the serial or
    // the network path.
    void dispatch(uchar command);
    void sendbuilt(uchar command, const QString &built, const char *what);
    // The processor wants 50 ms before an output switch, routing or FIR
    // frame: what is sent next waits in a queue that keeps the order of every
    // frame until 50 ms have passed since this call and since the last frame
    // sent. The GUI thread never waits for it.
    void holdoutput();
    // Sends a frame on the serial (tcp false) or the network path: at once,
    // or in its turn while frames or a hold wait.
    void transmit(bool tcp, uchar type, uchar addr, uchar command, const QString &text);
    void sendnow(bool tcp, uchar type, uchar addr, uchar command, const QString &text);
    // Sends what is due, and wakes again when the next hold is over.
    void releaseoutput();
    // Whether a channel frame may go out: channel in range and present on the
    // current device type (a refusal is logged with what).
    bool sendable(int ch, const char *what) const;
    // The processor applies a frame for ch to ch's whole link group: the other
    // members present take the frame's values in the model too (copy(m)), so
    // that the model holds what the processor holds. (The link switches follow
    // the masks: a side whose switch is off has no group.)
    template <typename Copy> void followreach(int ch, Copy copy);
    void showlockable(View view);
    bool hideview(View view);
    void openview(QWidget *w);
    void makeframeless(QWidget *w);
    void usedefaultdevice();

    CComCtrl *comctrl;
    // A queued frame, or a hold (a call of holdoutput at time at, in ns).
    struct Outgoing {
        bool hold;
        qint64 at;
        bool tcp;
        uchar type;
        uchar addr;
        uchar command;
        QString text;
    };
    QList<Outgoing> outgoing;
    QElapsedTimer outclock;
    qint64 lastsent = 0; // ns on outclock, just after the last frame went out
    QTimer *outtimer = nullptr;
    QPointer<QDialog> aboutdialog;
    QPointer<DialogCom> comdialog;
    QString payload;
    DeviceData *curdevice = nullptr;
    DeviceData *defaultdevice = nullptr;
    QPointer<QWidget> views[ViewCount];
    uchar slotused[kSlotCount] = {};
    QString slotname[kSlotCount];
    uchar slotonline[kSlotCount] = {};
    uchar devtype = 0x18;
    uchar devaddr = 0;
    QHostAddress devip;
    float gaincache[kChannels] = {};
    int limit2channel = 0;
    CurveMath curvemath;
    int peqchannel = 0;
    int geqchannel = 0;
    int gainviewch = 0;
    int delayviewch = 0;
    int geqviewch = 0;
    int eqviewch = 0;
    int limitviewch = 0;
    uchar maxwindow = 0;
    float delaycache[kChannels] = {};
    int ratiocache[kChannels] = {};
    int thresholdcache[kChannels] = {};
    double geqgaincache[kGeqBands] = {};
};

// The known devices, in the order found. The controller owns the records.
extern QList<DeviceData *> gDeviceList;
// The one controller of the run; created by start-up, deleted by the main window.
extern MainApp *gMainApp;
