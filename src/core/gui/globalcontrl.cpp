#include "globalcontrl.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QSettings>
#include <QTranslator>

GlobalContrl *gGlobalContrl = nullptr;

namespace
{
const char kFileName[] = "UserConfig.ini";
const char kKey[] = "Langue/";

// A settings path that holds something other than a regular file (through
// links): a FIFO, a device, a folder. Such a thing is never opened, since
// opening a FIFO waits for a writer for ever and a device may never end;
// the language then falls back as for a missing file, and nothing is saved
// over it. A dangling link counts as missing, as before.
bool notregular(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isFile())
        return false;
    qWarning().noquote() << "settings file" << path
                         << "is not a regular file: not opened, the language setting is not kept";
    return true;
}
} // namespace

QString GlobalContrl::configpath()
{
    return QDir::currentPath() + QLatin1Char('/') + QLatin1String(kFileName);
}

GlobalContrl::GlobalContrl(QObject *parent)
    : QObject(parent)
{
    // Each access opens a fresh settings object and drops it at once, so the
    // file is never held open.
    const QString path = configpath();
    if (notregular(path)) {
        language = 1;
    } else if (QFileInfo::exists(path)) {
        QString value;
        {
            QSettings settings(path, QSettings::IniFormat);
            value = settings.value(QLatin1String(kKey)).toString();
            settings.sync();
        }
        language = (value == QLatin1String("en")) ? 0 : 1;
    } else {
        {
            QSettings settings(path, QSettings::IniFormat);
            settings.setValue(QLatin1String(kKey), QStringLiteral("chs"));
            settings.sync();
        }
        language = 1;
    }
    applyqttranslations();
}

void GlobalContrl::setlanguage(int n)
{
    language = (n == 0) ? 0 : 1;
    if (!notregular(configpath())) {
        QSettings settings(configpath(), QSettings::IniFormat);
        settings.setValue(QLatin1String(kKey), n == 0 ? QStringLiteral("en") : QStringLiteral("chs"));
        settings.sync();
    }
    applyqttranslations();
}

bool GlobalContrl::qttranslated() const
{
    return qtinstalled;
}

void GlobalContrl::applyqttranslations()
{
    if (!QCoreApplication::instance())
        return;
    const bool wanted = language != 0;
    if (wanted == qtinstalled)
        return;
    if (wanted) {
        if (!qttranslator) {
            qttranslator = new QTranslator(this);
            // A system without Qt's translations shows Qt's texts in English.
            if (!qttranslator->load(QStringLiteral("qtbase_zh_CN"),
                                    QLibraryInfo::location(QLibraryInfo::TranslationsPath)))
                qDebug() << "Qt's Chinese translations not found";
        }
        if (qttranslator->isEmpty())
            return;
        QCoreApplication::installTranslator(qttranslator);
    } else {
        QCoreApplication::removeTranslator(qttranslator);
    }
    qtinstalled = wanted;
    // Every window open now (a dialog kept for later too) retranslates Qt's
    // texts at once, not at the next turn of the event loop.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
}

void GlobalContrl::emitlanguage()
{
    emit refreshLangangeState();
}
