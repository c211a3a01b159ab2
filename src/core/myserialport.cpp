#include "myserialport.h"

#include "comsettings.h"
#include "hextext.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QMutex>
#include <QSerialPort>
#include <QThread>
#include <QWaitCondition>

#include <atomic>

#ifdef Q_OS_UNIX
#include <poll.h>
#endif

namespace
{
// What arrives while no reader takes it waits in the port, up to this much;
// beyond it the operating system holds it back.
constexpr qint64 ReadBufferLimit = MySerialPort::InFlightLimit;
// A flood drops in many short runs; one log line a second tells enough.
constexpr qint64 DropLogIntervalMs = 1000;
// How long opencom waits for the I/O thread to answer. Opening never waits for
// the device itself (non-blocking open), but the I/O thread may still be busy
// closing the previous port.
constexpr int OpenAnswerLimitMs = 5000;
} // namespace

// State shared by the GUI thread and the I/O thread, guarded by one mutex.
struct SerialShared {
    QMutex mutex;
    // Bytes waiting for the writer, oldest first; bytes before head are sent.
    QByteArray queue;
    int head = 0;
    // The whole-buffer path: one write of the whole buffer.
    QByteArray whole;
    bool wholeMode = false;
    // Set by stopsendthread: the writer pauses until the next send.
    bool writerStopped = false;
    // A pump request is posted to the I/O thread and not yet taken.
    std::atomic<bool> pumpPending{false};

    // Bytes read and posted to the GUI thread that it has not taken yet. Only
    // the I/O thread adds (never beyond the limit), only the GUI thread takes
    // away, so the limit holds without a lock.
    std::atomic<qint64> inFlight{0};
    std::atomic<qint64> inFlightPeak{0};
    std::atomic<qint64> dropped{0};

    // opencom hand-shake: the I/O thread answers each open by its session.
    QWaitCondition openAnswer;
    quint64 openAnswered = 0;
    bool openResult = false;
    quint64 openAbandoned = 0;

    void clearQueued()
    {
        queue.clear();
        head = 0;
        whole.clear();
        wholeMode = false;
    }
};

// Lives in the I/O thread and is the only user of the QSerialPort.
class SerialIoWorker : public QObject
{
    Q_OBJECT
public:
    explicit SerialIoWorker(SerialShared *shared)
        : m_shared(shared)
    {
    }

    void openPort(const QString &name, quint64 session)
    {
        closePort();
        m_session = session;
        m_reading = false;
        m_port = new QSerialPort(this);
        m_port->setPortName(name);
        m_port->setReadBufferSize(ReadBufferLimit);
        bool ok = m_port->open(QIODevice::ReadWrite);
        if (ok) {
            connect(m_port, &QSerialPort::errorOccurred, this, &SerialIoWorker::onError);
            connect(m_port, &QSerialPort::bytesWritten, this, &SerialIoWorker::pump);
            connect(m_port, &QSerialPort::readyRead, this, &SerialIoWorker::deliver);
        }
        QMutexLocker lock(&m_shared->mutex);
        if (ok && m_shared->openAbandoned == session) {
            // The caller stopped waiting and counts this open as failed.
            lock.unlock();
            closePort();
            lock.relock();
            ok = false;
        }
        m_shared->openAnswered = session;
        m_shared->openResult = ok;
        m_shared->openAnswer.wakeAll();
    }

    void closePort()
    {
        m_reading = false;
        if (m_port) {
            m_port->disconnect(this);
            m_port->close();
            delete m_port;
            m_port = nullptr;
        }
    }

    // Starts or stops handing what arrives to the GUI thread; a start hands
    // over at once what waited meanwhile.
    void setReading(bool on, quint64 session)
    {
        if (session != m_session)
            return;
        m_reading = on;
        deliver();
    }

    // Applies one line setting to the port of that session.
    template <typename Setter> void apply(quint64 session, Setter setter)
    {
        if (m_port && session == m_session && m_port->isOpen())
            setter(m_port);
    }

    void writeNow(const QByteArray &data, quint64 session)
    {
        if (m_port && session == m_session && m_port->isOpen() && !data.isEmpty()) {
            m_port->write(data);
            m_port->flush();
        }
    }

    // Writes queued bytes, one byte per write call, while the port takes them
    // at once; a byte the port could not take yet is finished when the port
    // reports it written (bytesWritten), and only then does the next one go.
    void pump()
    {
        m_shared->pumpPending = false;
        if (m_pumping || !m_port || !m_port->isOpen())
            return;
        m_pumping = true;
        for (;;) {
            if (m_port->bytesToWrite() > 0) {
                m_port->flush();
                if (m_port->bytesToWrite() > 0)
                    break;
            }
            QByteArray item;
            {
                QMutexLocker lock(&m_shared->mutex);
                if (m_shared->writerStopped)
                    break;
                if (m_shared->wholeMode) {
                    item.swap(m_shared->whole);
                } else if (m_shared->head < m_shared->queue.size()) {
                    item = m_shared->queue.mid(m_shared->head, 1);
                    if (++m_shared->head == m_shared->queue.size()) {
                        m_shared->queue.clear();
                        m_shared->head = 0;
                    }
                }
            }
            if (item.isEmpty())
                break;
            m_port->write(item);
            m_port->flush();
            if (!m_port || !m_port->isOpen())
                break;
        }
        m_pumping = false;
    }

signals:
    void chunkRead(QByteArray chunk, quint64 session);
    void portLost(quint64 session);

private:
    // Runs when bytes arrived (and when the reader starts): posts what the
    // port holds as one chunk, as far as the in-flight limit allows. What does
    // not fit is read and dropped, so a peer sending faster than the GUI
    // thread takes it costs bounded memory; the drop is logged (at most once a
    // second).
    void deliver()
    {
        if (!m_reading || !m_port || !m_port->isOpen())
            return;
        QByteArray chunk = m_port->readAll();
        if (chunk.isEmpty())
            return;
        const qint64 room = qMax<qint64>(0, MySerialPort::InFlightLimit - m_shared->inFlight.load());
        if (chunk.size() > room) {
            m_shared->dropped += chunk.size() - room;
            chunk.truncate(int(room));
            if (!m_dropping && (!m_dropLogged.isValid() || m_dropLogged.hasExpired(DropLogIntervalMs))) {
                qWarning("serial input dropped: the GUI thread is behind");
                m_dropLogged.start();
            }
            m_dropping = true;
        } else {
            m_dropping = false;
        }
        if (chunk.isEmpty())
            return;
        const qint64 now = (m_shared->inFlight += chunk.size());
        if (now > m_shared->inFlightPeak.load())
            m_shared->inFlightPeak = now;
        emit chunkRead(chunk, m_session);
    }

    void onError(QSerialPort::SerialPortError error)
    {
        if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError &&
            error != QSerialPort::WriteError)
            return;
        // Decide outside the port's own notification code.
        QMetaObject::invokeMethod(
            this, [this, session = m_session] { checkLost(session); }, Qt::QueuedConnection);
    }

    // A read or write failed: the device is gone when the line hung up (the
    // other end of a pseudo-terminal closed, a USB adapter was pulled);
    // otherwise the failure was passing (a full output buffer) and the port
    // stays in use.
    void checkLost(quint64 session)
    {
        if (!m_port || session != m_session || !m_port->isOpen())
            return;
        bool lost = true;
#ifdef Q_OS_UNIX
        pollfd fd{int(m_port->handle()), POLLOUT, 0};
        lost = ::poll(&fd, 1, 0) < 0 || (fd.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
#endif
        if (!lost) {
            m_port->clearError();
            return;
        }
        closePort();
        emit portLost(session);
    }

    SerialShared *m_shared;
    QSerialPort *m_port = nullptr;
    quint64 m_session = 0;
    bool m_reading = false;
    bool m_dropping = false;
    QElapsedTimer m_dropLogged; // when a drop was last logged
    bool m_pumping = false;
};

MySerialPort::MySerialPort()
    : m_shared(new SerialShared)
{
}

MySerialPort::~MySerialPort()
{
    if (!m_thread)
        return;
    {
        QMutexLocker lock(&m_shared->mutex);
        m_shared->clearQueued();
    }
    // The worker (and with it the port, which closes) is deleted in the I/O
    // thread while its event loop still runs, so the port is only ever touched
    // from that thread. When the wrapper outlives the application object (the
    // program-wide engine at exit) no event is delivered any more: then the
    // worker is deleted here once its thread has finished.
    SerialIoWorker *worker = m_worker;
    m_worker = nullptr;
    bool deleted = false;
    if (m_thread->isRunning())
        QMetaObject::invokeMethod(
            worker,
            [worker, &deleted] {
                delete worker;
                deleted = true;
            },
            Qt::BlockingQueuedConnection);
    m_thread->quit();
    m_thread->wait();
    if (!deleted)
        delete worker;
    delete m_thread;
}

void MySerialPort::startIoThread()
{
    if (m_thread)
        return;
    m_thread = new QThread;
    m_thread->setObjectName(QStringLiteral("serial io"));
    m_worker = new SerialIoWorker(m_shared.get());
    m_worker->moveToThread(m_thread);
    connect(m_worker, &SerialIoWorker::chunkRead, this, &MySerialPort::onIoChunk, Qt::QueuedConnection);
    connect(m_worker, &SerialIoWorker::portLost, this, &MySerialPort::onIoPortLost, Qt::QueuedConnection);
    m_thread->start();
}

bool MySerialPort::opencom(const QString &portname)
{
    if (m_open)
        closecom();
    startIoThread();
    m_portname = portname;
    const quint64 session = ++m_session;
    SerialIoWorker *worker = m_worker;
    QMetaObject::invokeMethod(
        m_worker, [worker, portname, session] { worker->openPort(portname, session); }, Qt::QueuedConnection);
    bool ok = false;
    {
        QMutexLocker lock(&m_shared->mutex);
        QDeadlineTimer deadline(OpenAnswerLimitMs);
        while (m_shared->openAnswered < session) {
            if (!m_shared->openAnswer.wait(&m_shared->mutex, deadline)) {
                m_shared->openAbandoned = session;
                break;
            }
        }
        ok = m_shared->openAnswered == session && m_shared->openResult;
    }
    m_open = ok;
    // A fresh port starts with Qt's defaults.
    m_baud = ComSettings::baudIndex(9600);
    m_databits = ComSettings::dataBitsIndex(QSerialPort::Data8);
    m_parity = ComSettings::parityIndex(QSerialPort::NoParity);
    m_stopbits = ComSettings::stopBitsIndex(QSerialPort::OneStop);
    m_flowcontrol = ComSettings::flowControlIndex(QSerialPort::NoFlowControl);

    if (m_recreatePending) {
        if (m_writerRemembered)
            createsendthread();
        if (m_readerRemembered)
            createreceivethread();
        if (m_readerStarted)
            startreceivethread();
        m_recreatePending = false;
    }
    return ok;
}

void MySerialPort::closecom()
{
    m_recreatePending = true;
    m_writerRemembered = m_writerCreated;
    m_readerRemembered = m_readerCreated;
    deletereceivethread();
    deletesendthread();
    discardQueued();
    m_open = false;
    if (m_thread) {
        SerialIoWorker *worker = m_worker;
        QMetaObject::invokeMethod(
            m_worker, [worker] { worker->closePort(); }, Qt::QueuedConnection);
    }
}

namespace
{
template <typename Setter> void applySetting(SerialIoWorker *worker, quint64 session, Setter setter)
{
    if (!worker)
        return;
    QMetaObject::invokeMethod(
        worker, [worker, session, setter] { worker->apply(session, setter); }, Qt::QueuedConnection);
}
} // namespace

void MySerialPort::setbaudrate(int index)
{
    const qint32 rate = ComSettings::baudRate(index);
    if (rate <= 0)
        return;
    m_baud = index;
    applySetting(m_worker, m_session, [rate](QSerialPort *port) { port->setBaudRate(rate); });
}

void MySerialPort::setdatabits(int index)
{
    const QSerialPort::DataBits bits = ComSettings::dataBits(index);
    if (bits == QSerialPort::UnknownDataBits)
        return;
    m_databits = index;
    applySetting(m_worker, m_session, [bits](QSerialPort *port) { port->setDataBits(bits); });
}

void MySerialPort::setparity(int index)
{
    const QSerialPort::Parity parity = ComSettings::parity(index);
    if (parity == QSerialPort::UnknownParity)
        return;
    m_parity = index;
    applySetting(m_worker, m_session, [parity](QSerialPort *port) { port->setParity(parity); });
}

void MySerialPort::setstopbits(int index)
{
    const QSerialPort::StopBits bits = ComSettings::stopBits(index);
    if (bits == QSerialPort::UnknownStopBits)
        return;
    m_stopbits = index;
    applySetting(m_worker, m_session, [bits](QSerialPort *port) { port->setStopBits(bits); });
}

void MySerialPort::setflowcontrol(int index)
{
    const QSerialPort::FlowControl flow = ComSettings::flowControl(index);
    if (flow == QSerialPort::UnknownFlowControl)
        return;
    m_flowcontrol = index;
    applySetting(m_worker, m_session, [flow](QSerialPort *port) { port->setFlowControl(flow); });
}

// The port is read when bytes arrive and never waited on, so the time-out is
// only kept.
void MySerialPort::settimeout(long ms)
{
    m_timeout = ms;
}

bool MySerialPort::setportall(const QString &portname, int baud, int databits, int parity, int stopbits,
                              int flowcontrol, long timeout)
{
    if (!opencom(portname))
        return false;
    setbaudrate(baud);
    setdatabits(databits);
    setparity(parity);
    setstopbits(stopbits);
    setflowcontrol(flowcontrol);
    settimeout(timeout);
    return true;
}

void MySerialPort::createsendthread()
{
    m_writerCreated = true;
}

void MySerialPort::createreceivethread()
{
    m_readerCreated = true;
}

int MySerialPort::startreceivethread()
{
    if (!m_open)
        return NotOpen;
    if (!m_readerCreated)
        return NoThread;
    if (m_readerRunning)
        return HandedOver;
    m_readerStarted = true;
    m_readerRunning = true;
    SerialIoWorker *worker = m_worker;
    const quint64 session = m_session;
    QMetaObject::invokeMethod(
        m_worker, [worker, session] { worker->setReading(true, session); }, Qt::QueuedConnection);
    return HandedOver;
}

void MySerialPort::stopsendthread()
{
    if (!m_writerCreated)
        return;
    QMutexLocker lock(&m_shared->mutex);
    m_shared->writerStopped = true;
}

void MySerialPort::stopreceivethread()
{
    if (!m_readerRunning)
        return;
    m_readerRunning = false;
    m_readerStarted = false;
    SerialIoWorker *worker = m_worker;
    const quint64 session = m_session;
    QMetaObject::invokeMethod(
        m_worker, [worker, session] { worker->setReading(false, session); }, Qt::QueuedConnection);
}

void MySerialPort::deletesendthread()
{
    if (!m_writerCreated)
        return;
    discardQueued();
    m_writerCreated = false;
}

void MySerialPort::deletereceivethread()
{
    if (!m_readerCreated)
        return;
    if (m_readerRunning) {
        m_readerRunning = false;
        SerialIoWorker *worker = m_worker;
        const quint64 session = m_session;
        QMetaObject::invokeMethod(
            m_worker, [worker, session] { worker->setReading(false, session); }, Qt::QueuedConnection);
    }
    m_readerCreated = false;
}

int MySerialPort::senddata(const QByteArray &data)
{
    if (!m_open)
        return NotOpen;
    if (!m_writerCreated)
        return NoThread;
    if (data.isEmpty())
        return HandedOver;
    {
        QMutexLocker lock(&m_shared->mutex);
        m_shared->wholeMode = false;
        m_shared->writerStopped = false;
        m_shared->queue.append(data);
    }
    schedulePump();
    return HandedOver;
}

int MySerialPort::senddatawhole(const QByteArray &data)
{
    if (!m_open)
        return NotOpen;
    if (!m_writerCreated)
        return NoThread;
    {
        QMutexLocker lock(&m_shared->mutex);
        m_shared->wholeMode = true;
        m_shared->writerStopped = false;
        m_shared->whole = data;
    }
    schedulePump();
    return HandedOver;
}

int MySerialPort::writedirect(const QByteArray &data)
{
    if (!m_open)
        return NotOpen;
    SerialIoWorker *worker = m_worker;
    const quint64 session = m_session;
    QMetaObject::invokeMethod(
        m_worker, [worker, data, session] { worker->writeNow(data, session); }, Qt::QueuedConnection);
    return HandedOver;
}

bool MySerialPort::waitwritten(int ms)
{
    if (!m_open || !m_writerCreated)
        return true;
    QDeadlineTimer deadline(ms);
    for (;;) {
        {
            QMutexLocker lock(&m_shared->mutex);
            if (m_shared->writerStopped ||
                (m_shared->head >= m_shared->queue.size() && m_shared->whole.isEmpty()))
                return true;
        }
        if (deadline.hasExpired())
            return false;
        QThread::usleep(500);
    }
}

void MySerialPort::schedulePump()
{
    if (m_shared->pumpPending.exchange(true))
        return;
    SerialIoWorker *worker = m_worker;
    QMetaObject::invokeMethod(
        m_worker, [worker] { worker->pump(); }, Qt::QueuedConnection);
}

void MySerialPort::discardQueued()
{
    QMutexLocker lock(&m_shared->mutex);
    m_shared->clearQueued();
}

int MySerialPort::hexdigitvalue(QChar c)
{
    return ::hexdigitvalue(c);
}

void MySerialPort::bytestohex(const QByteArray &bytes, QString &text)
{
    ::bytestohex(bytes, text);
}

void MySerialPort::hextobytes(const QString &text, QByteArray &bytes)
{
    ::hextobytes(text, bytes);
}

void MySerialPort::OnReadThreadCom(QByteArray chunk)
{
    if (!chunk.isEmpty())
        emit mycom_dataReceived(chunk);
}

void MySerialPort::onIoChunk(QByteArray chunk, quint64 session)
{
    // Taken off the in-flight count before it is handled: a handler that runs
    // a nested event loop must not stall the line meanwhile.
    m_shared->inFlight -= chunk.size();
    // A chunk read before a close or by a reader since stopped is stale.
    if (session != m_session || !m_open || !m_readerRunning)
        return;
    OnReadThreadCom(chunk);
}

qint64 MySerialPort::inflightbytes() const
{
    return m_shared->inFlight.load();
}

qint64 MySerialPort::inflightpeak() const
{
    return m_shared->inFlightPeak.load();
}

qint64 MySerialPort::droppedbytes() const
{
    return m_shared->dropped.load();
}

void MySerialPort::onIoPortLost(quint64 session)
{
    if (session != m_session || !m_open)
        return;
    closecom();
    emit portlost();
}

#include "myserialport.moc"
