#include "dspresources.h"

#include <QtGlobal>

void initdspresources()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    Q_INIT_RESOURCE(style);
    Q_INIT_RESOURCE(skins);
}
