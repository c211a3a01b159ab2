#pragma once

// What the EQ display tests share: the controller as start-up makes it with
// one current device of type 24, the EQ page's channel, and synthetic mouse
// input for the curve.

#include "devicedata.h"
#include "devicefixture.h"
#include "dspresources.h"
#include "globalcontrl.h"
#include "mainapp.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

class EqFixture : public DeviceFixture
{
public:
    void setup(uchar type = 0x18)
    {
        initdspresources();
        startup(1, type);
        if (QTest::currentTestFailed())
            return;
        setchannel(0);
    }
    void teardown() { shutdown(); }

    // The EQ page shows channel ch (0..11).
    static void setchannel(int ch)
    {
        gMainApp->setpeqchannel(ch);
        gMainApp->seteqviewch(ch + 1);
    }

    static void mouse(QWidget *w, QEvent::Type type, QPointF pos)
    {
        const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent e(type, pos, w->mapToGlobal(pos.toPoint()), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
    static void press(QWidget *w, QPointF pos) { mouse(w, QEvent::MouseButtonPress, pos); }
    static void move(QWidget *w, QPointF pos) { mouse(w, QEvent::MouseMove, pos); }
    static void release(QWidget *w, QPointF pos) { mouse(w, QEvent::MouseButtonRelease, pos); }
};
