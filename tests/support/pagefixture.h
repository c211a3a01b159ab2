#pragma once

// The device fixture with one page of type Page made after start-up, and what
// the page tests do with it: show it, drive its throttle by hand, look up its
// widgets by name.

#include "devicefixture.h"
#include "dspresources.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <memory>

template <class Page> class PageFixture : public DeviceFixture
{
public:
    void setup(uchar addr = 1)
    {
        initdspresources();
        startup(addr);
        if (QTest::currentTestFailed())
            return;
        page.reset(new Page);
    }
    void teardown()
    {
        page.reset();
        shutdown();
    }

    // Shown and active, so that a slider can hold the keyboard focus.
    void showpage()
    {
        page->show();
        QVERIFY(QTest::qWaitForWindowExposed(page.get()));
        QApplication::setActiveWindow(page.get());
    }
    // The throttle driven by hand: its own timer stops.
    void stopthrottle()
    {
        for (QTimer *t : page->template findChildren<QTimer *>())
            t->stop();
    }
    void ticks(int n)
    {
        for (int k = 0; k < n; ++k)
            page->timetosend();
    }

    template <class W> W *get(const QString &name) const
    {
        W *w = page->template findChild<W *>(name);
        if (!w)
            qWarning("no widget %s", qPrintable(name));
        return w;
    }

    std::unique_ptr<Page> page;
};
