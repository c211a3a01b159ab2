#include "startup.h"

#include "appglobals.h"
#include "dialogabout.h"
#include "dialogcom.h"
#include "dspresources.h"
#include "globalcontrl.h"
#include "mainapp.h"
#include "mainwindow.h"

#include <QApplication>
#include <QDesktopWidget>

QRect centredgeometry(const QSize &window, const QSize &desktop)
{
    const int w = window.width();
    const int h = window.height();
    return QRect((desktop.width() - w) / 2, (desktop.height() - h - 15) / 2, w, h);
}

MainWindow *startmainwindow(int variant)
{
    initdspresources();
    gMainApp = new MainApp();
    gGlobalContrl = new GlobalContrl();
    // The application's style sheet goes on before any widget exists: the
    // widgets are then built under it and each is polished once, when first
    // shown, instead of the whole window being restyled afterwards.
    qApp->setStyleSheet(
        MainWindow::readstylesheet(MainWindow::stylesheetpath(gGlobalContrl->getlanguage() ? 1 : 0, false)));

    auto *window = new MainWindow(nullptr, variant);
    const QString prefix = titleprefix(variant);
    if (!prefix.isEmpty())
        window->setWindowTitle(prefix + gVersionStr);

    gDialogAbout = new DialogAbout(window, variant, gVersionStr);
    gDialogCom = new DialogCom(window);
    gMainApp->setaboutdialog(gDialogAbout);
    gMainApp->setcomdialog(gDialogCom);

    window->setGeometry(centredgeometry(window->size(), QApplication::desktop()->size()));
    gGlobalContrl->emitlanguage();
    return window;
}
