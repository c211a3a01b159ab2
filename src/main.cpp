#include "mainwindow.h"
#include "startup.h"

#include <QApplication>

#include <memory>

int main(int argc, char *argv[])
{
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    QApplication app(argc, argv);
    std::unique_ptr<MainWindow> window(startmainwindow(gBuildVariant));
    window->show();
    app.exec();
    // The window's destruction tells the processors and deletes the
    // long-lived objects before the application object goes.
    window.reset();
    return 0;
}
