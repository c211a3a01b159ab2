#pragma once

// ProgramReader: reads one program image (1664 bytes in 26 parts, command
// 0x61) from the current processor. Each part is one bounded exchange that
// waits for the reply carrying that part number; a part that does
// not arrive is asked again up to the exchange's bound, and the read stops at
// the first part that never arrives.
//
// Only a complete read touches the model: the 26 parts taken from their own
// replies are written into the device's receive buffer (so stray or late
// replies to other reads cannot mix in), and loadcurrent() then applies and
// decodes them. A failed read leaves the current image and the parameters as
// they were.
//
//   ProgramReader reader;
//   if (reader.loadcurrent(progress)) emit updataallviews();
//   else if (reader.result() != Exchange::Result::Closing) ProgramReader::showfailure(this);

#include "exchange.h"

#include <QByteArray>
#include <QString>

#include <functional>

class QWidget;

class ProgramReader
{
public:
    // Called after every attempt: the part (0..25) and whether it arrived.
    using Progress = std::function<void(int part, bool answered)>;

    // The device current now is the one read.
    ProgramReader() = default;

    // Reads program n (0 = the data the processor runs, 1..40 a stored
    // program) into the device's receive buffer. True when all 26 parts arrived.
    bool read(int program, const Progress &progress = {});
    // Re-reads the running program and, only when every part arrived, makes
    // it the device's current image and decodes it into the parameters. The
    // caller then reloads its pages (and shows showfailure() on false).
    bool loadcurrent(const Progress &progress = {});

    // How the last read ended: Answered after a complete read.
    Exchange::Result result() const { return m_result; }
    // Commands sent by the last read.
    int sends() const { return m_sends; }
    // The 1664 bytes of the last complete read, taken from the replies
    // themselves (empty after a failed read).
    QByteArray image() const { return m_image; }
    // The device read.
    DeviceData *device() const { return m_exchange.device(); }

    // The box that tells the user the running program could not be read.
    static void showfailure(QWidget *parent);
    static QString failuretitle();
    static QString failuretext();

private:
    Exchange m_exchange;
    Exchange::Result m_result = Exchange::Result::NoReply;
    int m_sends = 0;
    QByteArray m_image;
};
