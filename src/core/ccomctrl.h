#pragma once

// CComCtrl: the protocol engine of the serial link. It frames commands and
// hands their bytes to the serial port, reassembles the replies that come back
// and dispatches each one by its command code to its signals, and it opens,
// closes and probes the serial ports named in gComSettings.
// Everything here runs on the GUI thread.

#include "replyassembler.h"
#include "replydispatch.h"
#include "replyrate.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

class MySerialPort;

class CComCtrl : public QObject, private ReplySink
{
    Q_OBJECT
public:
    CComCtrl();
    ~CComCtrl() override;

    // Builds the command frame and queues it byte by byte; dropped silently
    // when the port is not open.
    void sendcmd(unsigned char type, unsigned char address, unsigned char command, const QString &payload);
    // The same frame handed to the port as one buffer.
    void sendcmdwhole(unsigned char type, unsigned char address, unsigned char command,
                      const QString &payload);
    void sendhex(const QString &hex);
    void sendhexwhole(const QString &hex);
    // Checksum of a frame body (address, command, payload), two lower-case digits.
    QString getchecksum(const QString &body) const;

    // Which unit the signals below are for: a reply of another unit (type,
    // address) emits only findok (01) and replied. Unset: every unit.
    using UnitCheck = std::function<bool(unsigned char type, unsigned char address)>;
    void setunitcheck(const UnitCheck &check) { m_unitcheck = check; }

    // Dispatches one whole reply frame (hex text) to the signals.
    void dealwithframe(const QString &frame);
    // Announces a reply that reached the application by another way (the
    // network link) to whoever waits on replied().
    void notifyreply(const Reply &reply) { emit replied(reply); }

    // Opens the port named in gComSettings with its line settings and starts
    // the reader and the writer; false (nothing changed) when it does not open.
    bool openmaincom();
    // Closes the port. Whoever queues frames for it sends them first
    // (closing()), and the port's writer gets a bounded moment to write what
    // it holds: a frame handed over just before the close still goes out.
    void closemaincom();
    // Probe the port list: the first port that opens (or "nocom"), then each
    // next one that opens (or "endcom"). Ports that do not open are skipped.
    // Call only while the port is closed.
    QString findfirstcom();
    QString findnextcom();

    QString getcomname() const { return m_portname; }
    // False as well once the port closed itself (the device went away).
    bool getcomisopened() const;
    bool getfindok() const { return m_findok; }
    void setfindok(bool found) { m_findok = found; }
    // Position in the port list of the port last probed; the device search
    // sets it to 0 before it starts.
    int getscanindex() const { return m_scanindex; }
    void setscanindex(int index) { m_scanindex = index; }

    // The serial port this engine owns.
    MySerialPort *serialport() const { return m_port.get(); }
    // Bytes of an unfinished reply kept for the next chunk.
    int pendingreplybytes() const { return m_assembler.pending().size(); }
    // Unasked replies dropped beyond their rate (ReplyRate).
    qint64 droppedreplies() const { return m_rate.dropped(); }

signals:
    // The port is about to close (closemaincom): frames waiting elsewhere
    // for it are to be handed over now.
    void closing();
    void refreshcomdlg();
    void findok(uchar type, uchar address);
    void connectok(QString data);
    void readprogramname(QString data);
    void loadcurprogramdata(QString data);
    void loadcurprogramisready();
    void loadcurprogram1to25isokflag();
    void loadwritecurprogram1to25isokflag();
    void loadcopy();
    void loadname();
    void getgainisok();
    void lockreturn(bool locked);
    void writeok(QString data);
    void muterevok(QString data);
    void logreturn();
    void readlight(QString data);
    // Every reply, from the serial line or the network, after the signals
    // above: exchanges wait here for the reply to their own command.
    void replied(const Reply &reply);
    // The open port closed itself (the device went away, the line hung up).
    void portlost();

public slots:
    // One chunk read from the port: every whole reply in it is dispatched,
    // in order, each on its own (unasked ones within their rate, ReplyRate);
    // an unfinished one waits for the next chunk.
    void dataReceived(QByteArray chunk);

private:
    // The frame, body and checksum texts of one command, from the one frame
    // builder the network link uses too.
    void buildframe(unsigned char type, unsigned char address, unsigned char command, const QString &payload);

    void replyfind(unsigned char type, unsigned char address) override;
    void replyconnect(const QString &data) override { emit connectok(data); }
    void replymeters(const QString &levels) override { emit readlight(levels); }
    void replymutes(const QString &mutes) override { emit muterevok(mutes); }
    void replygain() override { emit getgainisok(); }
    void replyprogramname(const QString &record) override { emit readprogramname(record); }
    void replynameack() override { emit loadname(); }
    void replyready() override { emit loadcurprogramisready(); }
    void replyprogramdata(const QString &part) override { emit loadcurprogramdata(part); }
    void replyreadack() override { emit loadcurprogram1to25isokflag(); }
    void replywrite(const QString &data) override { emit writeok(data); }
    void replywriteack() override { emit loadwritecurprogram1to25isokflag(); }
    void replycopy() override { emit loadcopy(); }
    void replylock(bool ok) override { emit lockreturn(ok); }
    void replylogo() override { emit logreturn(); }
    void replyseen(const Reply &reply) override { emit replied(reply); }
    bool fromcurrentunit(unsigned char type, unsigned char address) const override
    {
        return !m_unitcheck || m_unitcheck(type, address);
    }

    QString m_frametext;    // last command frame built
    QString m_bodytext;     // its address, command and payload
    QString m_checksumtext; // its checksum
    QString m_portname;
    std::unique_ptr<MySerialPort> m_port;
    ReplyAssembler m_assembler;
    ReplyRate m_rate;
    QElapsedTimer m_clock; // time stamps for the assembler's stale rule
    // Feeds the assembler again when a cut-off fragment holds a whole reply
    // back and no byte comes to end the wait.
    QTimer m_recheck;
    UnitCheck m_unitcheck;
    bool m_comopened = false;
    bool m_findok = false;
    int m_scanindex = 0;
};

// The program's one protocol engine.
extern CComCtrl gComCtrl;
