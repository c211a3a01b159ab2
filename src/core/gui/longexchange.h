#pragma once

// The one guard of every long exchange with a processor: connecting with its
// download, the device search, loading a program file into the processor, and
// the program page's operations. Their waits keep handling events, so a second
// exchange could otherwise start inside the first and talk to the processor
// (or close its port) under it: while one holds the guard, every other refuses
// to start.
//
// A long exchange may be cancelled (its Cancel button, the main window
// closing): every wait of an exchange then ends at once, as when the
// application closes, and the operation ends without a box, leaving files and
// model as they were. The next holder of the guard starts uncancelled.

#include <QObject>
#include <QPointer>

class QProgressDialog;

// 1 while a long exchange runs.
extern int gConnectBusy;

// Claims gConnectBusy for the lifetime of the object; acquired() is false (and
// nothing is claimed) when another exchange already holds it.
class LongExchange
{
public:
    LongExchange();
    ~LongExchange();
    LongExchange(const LongExchange &) = delete;
    LongExchange &operator=(const LongExchange &) = delete;
    bool acquired() const { return m_acquired; }

    // Cancels the long exchange that runs now (nothing when none runs).
    static void cancel();
    static bool cancelled();

private:
    bool m_acquired;
};

// The Cancel button of a long exchange's progress window, for the lifetime of
// the object. While one is open the exchange's waits take user input, but
// only for that window and a box the operation shows: input to every other
// window is dropped, so nothing else starts inside the exchange. Its click
// cancels the exchange.
class CancelButton : public QObject
{
public:
    // text: the button's caption in the current language.
    CancelButton(QProgressDialog *window, const QString &text);
    ~CancelButton() override;
    CancelButton(const CancelButton &) = delete;
    CancelButton &operator=(const CancelButton &) = delete;

    // True while a Cancel button is open: waits may then take user input.
    static bool open();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QProgressDialog> m_window;
    // The modal window already up when the button opened (the application-
    // modal main window): not a box of the operation, so it takes no input.
    QPointer<QWidget> m_below;
};
