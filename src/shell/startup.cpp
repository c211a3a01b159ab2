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
#include <QMdiSubWindow>
#include <QPixmapCache>
#include <QSet>

QRect centredgeometry(const QSize &window, const QSize &desktop)
{
    const int w = window.width();
    const int h = window.height();
    return QRect((desktop.width() - w) / 2, (desktop.height() - h - 15) / 2, w, h);
}

namespace
{
// Every widget asks to be polished at the first turn of the event loop. The
// pages not shown at start whose sub-windows the main window polished while
// still empty wait until they are first shown (showing a widget polishes it
// and its children; showing the main window stops at the polished
// sub-window). Removing the requests one widget at a time searches the whole
// queue for each of them: they are all removed at once, and asked again,
// parents first, for every other widget not polished yet.
void deferpagepolish(MainWindow *window)
{
    QSet<QWidget *> deferred;
    for (QMdiSubWindow *sub : window->findChildren<QMdiSubWindow *>()) {
        if (!sub->isHidden() || !sub->testAttribute(Qt::WA_WState_Polished))
            continue;
        const QList<QWidget *> page = sub->findChildren<QWidget *>();
        deferred.unite(QSet<QWidget *>(page.begin(), page.end()));
    }
    QCoreApplication::removePostedEvents(nullptr, QEvent::PolishRequest);
    for (QWidget *top : QApplication::topLevelWidgets()) {
        QList<QWidget *> all{top};
        all += top->findChildren<QWidget *>();
        for (QWidget *w : all) {
            if (!w->testAttribute(Qt::WA_WState_Polished) && !deferred.contains(w))
                QCoreApplication::postEvent(w, new QEvent(QEvent::PolishRequest));
        }
    }
}
} // namespace

MainWindow *startmainwindow(int variant)
{
    initdspresources();
    // Every skin is opened once and kept: with the default 10 MiB the cache
    // drops skins still in use, and the next widget decodes them again into
    // a second copy.
    QPixmapCache::setCacheLimit(64 * 1024);
    // Opening an image asks for its file time, which converts through the
    // local time zone: without TZ the C library reads the zone file again on
    // every conversion. The same zone, named once, is read once.
    if (!qEnvironmentVariableIsSet("TZ"))
        qputenv("TZ", "/etc/localtime");
    gMainApp = new MainApp();
    gGlobalContrl = new GlobalContrl();

    // The sheet is in place before any widget exists: each widget is styled
    // once, when it is first polished, instead of restyled after building.
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
    // Every page shows the current record from the start, as after a
    // download; nothing is connected yet, so nothing is sent and the reload
    // has nothing to wait for.
    MainApp::setnowaits(true);
    window->loadpages();
    MainApp::setnowaits(false);
    deferpagepolish(window);
    return window;
}
