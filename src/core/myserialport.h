#pragma once

// MySerialPort: the serial link of the program. It moves bytes between one
// serial port and the protocol engine.
//
// One I/O thread owns the QSerialPort (a QSerialPort may only be used from the
// thread that owns it). That thread plays both roles of the link:
//  - writer: it writes the queued bytes in order, one byte per write;
//  - reader: while the reader runs, each time bytes arrive (the port's
//    readyRead) it reads them and hands them to the GUI thread as one chunk by
//    a queued signal. Only non-empty chunks are posted, and never more than
//    InFlightLimit bytes are posted and not yet taken by the GUI thread: what
//    arrives beyond that is dropped (and logged), so a peer flooding the line
//    costs bounded memory. An idle open port wakes neither thread.
// The writer and reader "exist" and "run" as states of this wrapper, with the
// result codes of senddata / startreceivethread: 1 handed over / started,
// 2 port not open, 3 no writer / no reader.
//
// Every operation is called on the GUI thread and none of them waits for the
// port: sends, line settings and close are queued to the I/O thread in order;
// opencom waits (bounded) only for the open call itself.

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

class QThread;
class SerialIoWorker;
struct SerialShared;

class MySerialPort : public QObject
{
    Q_OBJECT
public:
    // Result codes of senddata, senddatawhole, writedirect and startreceivethread.
    enum Result { HandedOver = 1, NotOpen = 2, NoThread = 3 };
    // Bytes read and handed to the GUI thread but not yet taken there, at most.
    static constexpr int InFlightLimit = 64 * 1024;

    MySerialPort();
    ~MySerialPort() override;

    // Opens the port of that name (a fresh port with Qt's default line
    // settings; the caller applies its own after a successful open) and, after
    // a closecom, re-creates the writer and reader that existed then and
    // restarts the reader if it ran. Call only while the port is closed.
    bool opencom(const QString &portname);
    // Remembers the writer and reader, deletes them (queued bytes are
    // discarded), and closes the port.
    void closecom();
    bool isopen() const { return m_open; }

    // Line settings as the indices ComSettings stores; an index outside its
    // table is ignored. Applied to the port in call order.
    void setbaudrate(int index);
    void setdatabits(int index);
    void setparity(int index);
    void setstopbits(int index);
    void setflowcontrol(int index);
    void settimeout(long ms);
    int getbaudrate() const { return m_baud; }
    int getdatabits() const { return m_databits; }
    int getparity() const { return m_parity; }
    int getstopbits() const { return m_stopbits; }
    int getflowcontrol() const { return m_flowcontrol; }
    long gettimeout() const { return m_timeout; }
    QString getportname() const { return m_portname; }
    void setportname(const QString &portname) { m_portname = portname; }
    // Sets the name and the line settings, then opens the port.
    bool setportall(const QString &portname, int baud, int databits, int parity, int stopbits,
                    int flowcontrol, long timeout);

    void createsendthread();
    void createreceivethread();
    int startreceivethread();
    void stopsendthread();
    void stopreceivethread();
    void deletesendthread();
    void deletereceivethread();
    void removesendthread() { deletesendthread(); }
    void removereceivethread() { deletereceivethread(); }
    bool hassendthread() const { return m_writerCreated; }
    bool hasreceivethread() const { return m_readerCreated; }
    // The reader exists and hands what arrives to the GUI thread.
    bool receivethreadrunning() const { return m_readerRunning; }

    // Queues the bytes for the writer, one write per byte.
    int senddata(const QByteArray &data);
    // Hands the bytes to the writer as one buffer written with one write; a
    // buffer not yet written is replaced.
    int senddatawhole(const QByteArray &data);
    // One write of the whole buffer, ahead of the writer's queue.
    int writedirect(const QByteArray &data);
    // Waits, up to ms milliseconds, until the writer has taken every byte
    // queued for it; true when nothing is left (also with no open port or no
    // writer, or a stopped one, which writes nothing more).
    bool waitwritten(int ms);

    // Flow from the I/O thread: bytes handed over and not yet taken, the most
    // there ever were, and the bytes dropped because the limit was reached.
    qint64 inflightbytes() const;
    qint64 inflightpeak() const;
    qint64 droppedbytes() const;

    // Hex text helpers (see hextext.h).
    static int hexdigitvalue(QChar c);
    static void bytestohex(const QByteArray &bytes, QString &text);
    static void hextobytes(const QString &text, QByteArray &bytes);

signals:
    // A non-empty chunk read from the port, on the GUI thread.
    void mycom_dataReceived(QByteArray chunk);
    // The port closed itself: its device went away or the line hung up.
    void portlost();

public slots:
    void OnReadThreadCom(QByteArray chunk);

private slots:
    void onIoChunk(QByteArray chunk, quint64 session);
    void onIoPortLost(quint64 session);

private:
    void startIoThread();
    void schedulePump();
    void discardQueued();

    QThread *m_thread = nullptr;
    SerialIoWorker *m_worker = nullptr;
    std::unique_ptr<SerialShared> m_shared;

    QString m_portname;
    bool m_open = false;
    quint64 m_session = 0; // counts opens; chunks of an older session are dropped
    int m_baud = -1;
    int m_databits = -1;
    int m_parity = -1;
    int m_stopbits = -1;
    int m_flowcontrol = -1;
    long m_timeout = 0;

    bool m_writerCreated = false;
    bool m_writerRemembered = false;
    bool m_readerCreated = false;
    bool m_readerRemembered = false;
    bool m_readerStarted = false;
    bool m_readerRunning = false;
    bool m_recreatePending = false;
};
