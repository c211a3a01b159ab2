#include "dspresources.h"

#include <QFont>
#include <QString>

void initdspresources()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    Q_INIT_RESOURCE(style);
    Q_INIT_RESOURCE(skins);
    const QString cjk = QStringLiteral("WenQuanYi Micro Hei");
    QFont::insertSubstitution(QStringLiteral("SimSun"), cjk);
    QFont::insertSubstitution(QStringLiteral("宋体"), cjk);
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
}
