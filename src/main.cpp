#include <QApplication>
#include <QLabel>

int main(int argc, char *argv[])
{
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication app(argc, argv);
    QLabel placeholder(QStringLiteral("dspmanager"));
    placeholder.show();
    return app.exec();
}
