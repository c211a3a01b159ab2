#include "appglobals.h"

#include "mainapp.h"

const QString gVersionStr = QStringLiteral("V1.0.4M");
DialogCom *gDialogCom = nullptr;

QString titleprefix(int variant)
{
    static const char *const prefixes[] = {"MR700-MR500-MR300 ", "Digital Loudspeaker Management ", "NOVRAX ",
                                           "ZELK220 ", "QUB150-QUB350 "};
    if (variant < 0 || variant >= int(sizeof prefixes / sizeof prefixes[0]))
        return QString();
    return QString::fromLatin1(prefixes[variant]);
}

void waitms(int n)
{
    MainApp::delayms(n);
}
