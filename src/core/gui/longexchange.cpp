#include "longexchange.h"

#include "prompts.h"

#include <QApplication>
#include <QEvent>
#include <QProgressDialog>
#include <QPushButton>
#include <QWidget>
#include <QWindow>

int gConnectBusy = 0;

namespace
{
bool gCancelled = false;
bool gStopAsked = false;
int gCancelButtons = 0;
int gFrameSeries = 0;
} // namespace

LongExchange::LongExchange()
    : m_acquired(gConnectBusy == 0)
{
    if (m_acquired) {
        gConnectBusy = 1;
        gCancelled = false;
        gStopAsked = false;
    }
}

LongExchange::~LongExchange()
{
    if (m_acquired) {
        gConnectBusy = 0;
        gCancelled = false;
        gStopAsked = false;
    }
}

void LongExchange::cancel()
{
    if (gConnectBusy != 0)
        gCancelled = true;
}

bool LongExchange::cancelled()
{
    return gCancelled;
}

void LongExchange::stopafterstep()
{
    if (gConnectBusy != 0)
        gStopAsked = true;
}

bool LongExchange::stopasked()
{
    return gStopAsked;
}

void LongExchange::resume()
{
    if (gConnectBusy != 0) {
        gCancelled = false;
        gStopAsked = false;
    }
}

FrameSeries::FrameSeries()
{
    ++gFrameSeries;
}

FrameSeries::~FrameSeries()
{
    --gFrameSeries;
}

bool FrameSeries::running()
{
    return gFrameSeries > 0;
}

bool isuserinput(const QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::ContextMenu:
        return true;
    default:
        return false;
    }
}

InputDrop::InputDrop()
{
    if (qApp)
        qApp->installEventFilter(this);
}

InputDrop::~InputDrop()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

bool InputDrop::admits(QObject *) const
{
    return false;
}

bool InputDrop::eventFilter(QObject *watched, QEvent *event)
{
    return isuserinput(event) && !admits(watched);
}

CancelButton::CancelButton(QProgressDialog *window, const QString &text, Ends ends)
    : m_window(window)
{
    ++gCancelButtons;
    m_below = QApplication::activeModalWidget();
    if (m_below == window)
        m_below = nullptr;
    if (window) {
        // Made a modal dialog while hidden: modality set on a shown window
        // takes effect only when it is shown again.
        if (window->windowType() != Qt::Dialog || window->windowModality() != Qt::ApplicationModal) {
            m_flags = window->windowFlags();
            m_modality = window->windowModality();
            m_madedialog = true;
            const bool shown = window->isVisible();
            window->hide();
            // Its close button (a window manager's) cancels as well.
            window->setWindowFlags(Qt::Dialog);
            window->setWindowModality(Qt::ApplicationModal);
            if (shown)
                window->show();
        }
        window->setCancelButtonText(text);
        // Framed by a window manager now: as wide as its title, set now or later.
        m_minwidth = window->minimumWidth();
        fittitle();
        // The button's click, and Escape on the window (the dialog's own shortcut).
        if (ends == Ends::AfterStep)
            // The window (which its own cancel hides) stays up while the step
            // is finished, its button spent.
            connect(window, &QProgressDialog::canceled, this, [this] {
                LongExchange::stopafterstep();
                if (!m_window)
                    return;
                m_window->show();
                for (QPushButton *b : m_window->findChildren<QPushButton *>())
                    b->setEnabled(false);
            });
        else
            connect(window, &QProgressDialog::canceled, this, [] { LongExchange::cancel(); });
    }
}

CancelButton::~CancelButton()
{
    --gCancelButtons;
    if (m_window) {
        disconnect(m_window, nullptr, this, nullptr);
        m_window->setCancelButton(nullptr);
        m_window->setMinimumWidth(m_minwidth);
        // The window as it was: no longer modal over the main window.
        if (m_madedialog) {
            const bool shown = m_window->isVisible();
            m_window->hide();
            m_window->setWindowFlags(m_flags);
            m_window->setWindowModality(m_modality);
            if (shown)
                m_window->show();
        }
        // The modal dialog took the keyboard; hidden, it leaves no window
        // active (no window manager hands it back): the window below gets it
        // again, and with it its tool tips and keys.
        QWidget *back = m_below ? m_below.data() : m_window->parentWidget();
        if (back)
            back = back->window();
        QWidget *active = QApplication::activeWindow();
        if (m_madedialog && back && back->isVisible() && !m_window->isVisible() &&
            (!active || active == m_window || !active->isVisible()))
            back->activateWindow();
    }
}

bool CancelButton::open()
{
    return gCancelButtons > 0;
}

// A window manager cuts a title wider than the window ("Refre…ms List"):
// the window is made at least as wide as its title in the frame.
void CancelButton::fittitle()
{
    if (m_window)
        m_window->setMinimumWidth(qMax(m_minwidth, Prompts::titlewidth(m_window->windowTitle())));
}

bool CancelButton::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::WindowTitleChange && watched == m_window)
        fittitle();
    return InputDrop::eventFilter(watched, event);
}

bool CancelButton::admits(QObject *watched) const
{
    // The progress window, and a box the operation shows meanwhile (its
    // failure box), take input; every other window does not.
    QWidget *modal = QApplication::activeModalWidget();
    if (modal == m_below)
        modal = nullptr;
    if (auto *w = qobject_cast<QWidget *>(watched))
        return w->window() == m_window || w->window() == modal;
    if (auto *w = qobject_cast<QWindow *>(watched))
        return (m_window && w == m_window->windowHandle()) || (modal && w == modal->windowHandle());
    return true;
}
