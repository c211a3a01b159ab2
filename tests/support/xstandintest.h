#pragma once

// A test on an X server of its own that works the program's whole window
// joined to the processor stand-in (StandinWindow), as a user does.

#include "mainapp.h"
#include "standinwindow.h"
#include "xservertest.h"

#include <QTest>

#include <memory>

class XStandinTest : public XServerTest
{
public:
    using XServerTest::XServerTest;

protected:
    // The test's connection to its server, then the window joined to the
    // stand-in and shown, its waits at a twentieth of their time. A failed
    // step fails the calling test function.
    void openshown()
    {
        openx();
        if (QTest::currentTestFailed())
            return;
        MainApp::settimescale(0.05);
        fx.open();
        if (QTest::currentTestFailed())
            return;
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    }
    // The window gone, real time again, the connection closed.
    void closeshown()
    {
        MainApp::settimescale(1);
        fx.close();
        closex();
    }

    StandinWindow fx;
    QTemporaryDir &dir = fx.dir;
    standin::Standin &s = fx.s;
    std::unique_ptr<MainWindow> &w = fx.w;
    const int &unit = fx.unit;
};
