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
//
// An operation that must not stop in the middle of a step (writing a program
// into the processor) takes its Cancel as a request to stop after the step
// under way: its waits then go on, but no request is sent again after a wait
// that timed out, so a processor that stopped answering still ends it within
// one reply time.

#include <QObject>
#include <QPointer>

class QEvent;
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
    // Asks the long exchange that runs now to stop after its step under way
    // (nothing when none runs); requests are no longer repeated.
    static void stopafterstep();
    static bool stopasked();
    // Lets the long exchange that runs now go on after a Cancel, for a
    // follow-up that puts right what the cancelled step may have left (the
    // processor asked which program it runs): its waits take a later Cancel
    // as before. Nothing when none runs.
    static void resume();

private:
    bool m_acquired;
};

// Marks, for its lifetime, a page's series of frames to the current device
// (a reset of every band, one frame after another with waits between): the
// page goes on with other edits meanwhile and ends the series itself when
// the device changes, but nothing may take the device away from under it
// (clearing the list): that is refused while one runs.
class FrameSeries
{
public:
    FrameSeries();
    ~FrameSeries();
    FrameSeries(const FrameSeries &) = delete;
    FrameSeries &operator=(const FrameSeries &) = delete;
    static bool running();
};

// True for what a user does to a window: a click, a key, a wheel turn, a
// touch, a context menu request.
bool isuserinput(const QEvent *event);

// For its lifetime, the user's clicks, keys and wheel turns reach no window
// of the application but those admits() lets through: they are dropped, not
// kept for later. Every other event is handled as before, the window
// manager's close request among them (a wait that excluded user input would
// hold that request in the platform's queue as well).
class InputDrop : public QObject
{
public:
    InputDrop();
    ~InputDrop() override;
    InputDrop(const InputDrop &) = delete;
    InputDrop &operator=(const InputDrop &) = delete;

protected:
    // Whether user input to this object (a widget or a window) still reaches
    // it; none does unless a subclass says so.
    virtual bool admits(QObject *watched) const;
    bool eventFilter(QObject *watched, QEvent *event) override;
};

// The Cancel button of a long exchange's progress window, for the lifetime of
// the object. While one is open the exchange's waits take user input, but
// only for that window and a box the operation shows: input to every other
// window is dropped, so nothing else starts inside the exchange. Its click
// cancels the exchange (or asks it to stop after its step, see Ends). Escape
// on the window does the same.
//
// A window that a modal window blocks takes no pointer nor key, and the
// application's main window is modal: the progress window becomes a dialog
// that is application-modal itself, above the main window, for as long as the
// button is open.
class CancelButton : public InputDrop
{
public:
    enum class Ends {
        AtOnce,   // every wait ends at once
        AfterStep // the operation stops after its step under way
    };
    // text: the button's caption in the current language.
    CancelButton(QProgressDialog *window, const QString &text, Ends ends = Ends::AtOnce);
    ~CancelButton() override;
    CancelButton(const CancelButton &) = delete;
    CancelButton &operator=(const CancelButton &) = delete;

    // True while a Cancel button is open: waits may then take user input.
    static bool open();

protected:
    bool admits(QObject *watched) const override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QProgressDialog> m_window;
    // The modal window already up when the button opened (the application-
    // modal main window): not a box of the operation, so it takes no input.
    QPointer<QWidget> m_below;
    // The window's kind and modality before the button made it a modal dialog.
    Qt::WindowFlags m_flags;
    Qt::WindowModality m_modality = Qt::NonModal;
    bool m_madedialog = false;
    // The window's least width before the button widened it for its title.
    int m_minwidth = 0;
    void fittitle();
};
