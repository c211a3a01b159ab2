#pragma once

// The application's side of a stand-in line in the tests: a QSerialPort on
// the pseudo-terminal, read by polling every 10 ms as the application does.

#include "standintestutil.h"

#include <QSerialPort>
#include <QThread>

class SerialClient
{
public:
    bool open(const QString &path)
    {
        port.setPortName(path);
        if (!port.open(QIODevice::ReadWrite))
            return false;
        port.setBaudRate(QSerialPort::Baud38400);
        port.setDataBits(QSerialPort::Data8);
        port.setParity(QSerialPort::NoParity);
        port.setStopBits(QSerialPort::OneStop);
        port.setFlowControl(QSerialPort::NoFlowControl);
        clock.start();
        return true;
    }
    void send(const QByteArray &bytes)
    {
        port.write(bytes);
        port.waitForBytesWritten(1000);
    }
    // Polls every 10 ms until `want` bytes came or timeoutMs passed.
    Pieces read(int want, int timeoutMs = 5000)
    {
        Pieces pieces;
        int got = 0;
        QElapsedTimer t;
        t.start();
        while (got < want && t.elapsed() < timeoutMs) {
            port.waitForReadyRead(10);
            const QByteArray chunk = port.readAll();
            if (!chunk.isEmpty()) {
                pieces.append({clock.elapsed(), chunk});
                got += chunk.size();
            }
        }
        return pieces;
    }
    QByteArray readbytes(int want, int timeoutMs = 5000) { return joined(read(want, timeoutMs)); }

    QSerialPort port;
    QElapsedTimer clock;
};
