#include "globalcontrl.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

GlobalContrl *gGlobalContrl = nullptr;

namespace
{
const char kFileName[] = "UserConfig.ini";
const char kKey[] = "Langue/";
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
    if (QFileInfo::exists(path)) {
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
}

void GlobalContrl::setlanguage(int n)
{
    language = (n == 0) ? 0 : 1;
    QSettings settings(configpath(), QSettings::IniFormat);
    settings.setValue(QLatin1String(kKey), n == 0 ? QStringLiteral("en") : QStringLiteral("chs"));
    settings.sync();
}

void GlobalContrl::emitlanguage()
{
    emit refreshLangangeState();
}
