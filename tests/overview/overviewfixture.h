#pragma once

// The main control page on one current device, its widgets by name.

#include "devicedata.h"
#include "dspresources.h"
#include "formmainview.h"
#include "globalcontrl.h"
#include "mainapp.h"
#include "pagefixture.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <memory>

class OverviewFixture : public PageFixture<FormMainView>
{
public:
    QPushButton *button(const QString &name) const { return page->findChild<QPushButton *>(name); }
    QLabel *label(const QString &name) const { return page->findChild<QLabel *>(name); }
    QWidget *widget(const QString &name) const { return page->findChild<QWidget *>(name); }
    // Clicks a page button the way a user does; the slot is found by name.
    void click(const QString &name) const
    {
        QPushButton *b = button(name);
        QVERIFY2(b, qPrintable(name));
        b->click();
    }

    // Output o's routing byte (bit 3 IN-A .. bit 0 IN-D) into the model.
    static void setroutes(DeviceData *d, int o, int byte)
    {
        for (int input = 1; input <= 4; ++input)
            d->setroutebit(o, input, (byte >> (4 - input)) & 1);
    }
};
