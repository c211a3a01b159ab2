#include "longexchange.h"

#include <QApplication>
#include <QEvent>
#include <QProgressDialog>
#include <QWidget>
#include <QWindow>

int gConnectBusy = 0;

namespace
{
bool gCancelled = false;
int gCancelButtons = 0;
} // namespace

LongExchange::LongExchange()
    : m_acquired(gConnectBusy == 0)
{
    if (m_acquired) {
        gConnectBusy = 1;
        gCancelled = false;
    }
}

LongExchange::~LongExchange()
{
    if (m_acquired) {
        gConnectBusy = 0;
        gCancelled = false;
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

CancelButton::CancelButton(QProgressDialog *window, const QString &text)
    : m_window(window)
{
    ++gCancelButtons;
    m_below = QApplication::activeModalWidget();
    if (window) {
        window->setCancelButtonText(text);
        connect(window, &QProgressDialog::canceled, this, [] { LongExchange::cancel(); });
    }
    if (qApp)
        qApp->installEventFilter(this);
}

CancelButton::~CancelButton()
{
    --gCancelButtons;
    if (m_window) {
        disconnect(m_window, nullptr, this, nullptr);
        m_window->setCancelButton(nullptr);
    }
}

bool CancelButton::open()
{
    return gCancelButtons > 0;
}

bool CancelButton::eventFilter(QObject *watched, QEvent *event)
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
        break;
    default:
        return false;
    }
    // The progress window, and a box the operation shows meanwhile (its
    // failure box), take input; every other window does not.
    QWidget *modal = QApplication::activeModalWidget();
    if (modal == m_below)
        modal = nullptr;
    if (auto *w = qobject_cast<QWidget *>(watched))
        return w->window() != m_window && w->window() != modal;
    if (auto *w = qobject_cast<QWindow *>(watched))
        return (!m_window || w != m_window->windowHandle()) && (!modal || w != modal->windowHandle());
    return false;
}
