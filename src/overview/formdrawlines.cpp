#include "formdrawlines.h"

#include "devicedata.h"
#include "mainapp.h"

#include <QPainter>

namespace
{

struct Route {
    QRect start;      // ellipse on the input's column
    QPoint points[4]; // right, then up or down at the route's own x, then right again
    QRect end;        // ellipse on the output's row
};

// [input][output]; the ellipses of one input bow out to the right and back,
// each output has a band of four end points 72 pixels below the previous one.
const Route kRoutes[FormDrawLines::kInputs][FormDrawLines::kOutputs] = {
    {
        {{3, 112, 10, 6}, {{8, 115}, {53, 115}, {53, 11}, {95, 11}}, {95, 8, 13, 7}},
        {{8, 122, 10, 6}, {{13, 125}, {58, 125}, {58, 83}, {95, 83}}, {95, 80, 13, 7}},
        {{13, 132, 10, 6}, {{18, 135}, {69, 135}, {69, 155}, {95, 155}}, {95, 152, 13, 7}},
        {{14, 142, 10, 6}, {{19, 145}, {66, 145}, {66, 227}, {95, 227}}, {95, 224, 13, 7}},
        {{14, 152, 10, 6}, {{19, 155}, {61, 155}, {61, 299}, {95, 299}}, {95, 296, 13, 7}},
        {{13, 162, 10, 6}, {{18, 165}, {57, 165}, {57, 371}, {95, 371}}, {95, 368, 13, 7}},
        {{8, 171, 10, 6}, {{13, 174}, {52, 174}, {52, 443}, {95, 443}}, {95, 440, 13, 7}},
        {{3, 180, 10, 6}, {{8, 183}, {47, 183}, {47, 515}, {95, 515}}, {95, 512, 13, 7}},
    },
    {
        {{3, 192, 10, 6}, {{8, 195}, {33, 195}, {33, 25}, {92, 25}}, {92, 22, 13, 7}},
        {{8, 202, 10, 6}, {{13, 205}, {40, 205}, {40, 97}, {92, 97}}, {92, 94, 13, 7}},
        {{13, 212, 10, 6}, {{17, 215}, {51, 215}, {51, 169}, {92, 169}}, {92, 166, 13, 7}},
        {{14, 222, 10, 6}, {{18, 225}, {49, 225}, {49, 241}, {92, 241}}, {92, 238, 13, 7}},
        {{14, 232, 10, 6}, {{18, 235}, {46, 235}, {46, 313}, {92, 313}}, {92, 310, 13, 7}},
        {{13, 242, 10, 6}, {{17, 245}, {42, 245}, {42, 385}, {92, 385}}, {92, 382, 13, 7}},
        {{8, 251, 10, 6}, {{13, 254}, {38, 254}, {38, 457}, {92, 457}}, {92, 454, 13, 7}},
        {{3, 260, 10, 6}, {{8, 263}, {33, 263}, {33, 529}, {92, 529}}, {92, 526, 13, 7}},
    },
    {
        {{3, 272, 10, 6}, {{8, 275}, {70, 275}, {70, 40}, {92, 40}}, {92, 37, 13, 7}},
        {{8, 282, 10, 6}, {{13, 285}, {75, 285}, {75, 112}, {92, 112}}, {92, 109, 13, 7}},
        {{13, 292, 10, 6}, {{18, 295}, {79, 295}, {79, 184}, {92, 184}}, {92, 181, 13, 7}},
        {{14, 302, 10, 6}, {{18, 304}, {83, 304}, {83, 256}, {92, 256}}, {92, 253, 13, 7}},
        {{14, 312, 10, 6}, {{18, 315}, {83, 315}, {83, 328}, {92, 328}}, {92, 325, 13, 7}},
        {{13, 322, 10, 6}, {{17, 325}, {80, 325}, {80, 400}, {92, 400}}, {92, 397, 13, 7}},
        {{8, 331, 10, 6}, {{13, 334}, {76, 334}, {76, 472}, {92, 472}}, {92, 469, 13, 7}},
        {{3, 340, 10, 6}, {{8, 343}, {70, 343}, {70, 544}, {92, 544}}, {92, 541, 13, 7}},
    },
    {
        {{2, 352, 10, 6}, {{7, 355}, {62, 355}, {62, 54}, {95, 54}}, {95, 51, 13, 7}},
        {{7, 362, 10, 6}, {{13, 365}, {66, 364}, {66, 126}, {95, 126}}, {95, 123, 13, 7}},
        {{12, 372, 10, 6}, {{18, 375}, {70, 375}, {70, 198}, {95, 198}}, {95, 195, 13, 7}},
        {{13, 382, 10, 6}, {{18, 385}, {75, 385}, {75, 270}, {95, 270}}, {95, 267, 13, 7}},
        {{13, 392, 10, 6}, {{18, 395}, {78, 395}, {78, 342}, {95, 342}}, {95, 339, 13, 7}},
        {{12, 402, 10, 6}, {{17, 405}, {75, 405}, {75, 414}, {95, 414}}, {95, 411, 13, 7}},
        {{7, 411, 10, 6}, {{13, 414}, {70, 414}, {70, 486}, {95, 486}}, {95, 483, 13, 7}},
        {{2, 420, 10, 6}, {{8, 423}, {65, 423}, {65, 558}, {95, 558}}, {95, 555, 13, 7}},
    },
};

} // namespace

FormDrawLines::FormDrawLines(QWidget *parent)
    : QWidget(parent)
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("FormDrawLines"));
    resize(115, 571);
    setWindowTitle(QStringLiteral("Form"));
    QMetaObject::connectSlotsByName(this);
}

bool FormDrawLines::feeds(const DeviceData *d, int input, int o)
{
    if (!d || o < 0 || o >= kOutputs)
        return false;
    switch (input) {
    case 0:
        return d->getrouteina(o);
    case 1:
        return d->getrouteinb(o);
    case 2:
        return d->getrouteinc(o);
    case 3:
        return d->getrouteind(o);
    default:
        return false;
    }
}

QColor FormDrawLines::inputcolour(int input)
{
    static const QColor colours[kInputs] = {QColor(252, 213, 82), QColor(4, 228, 7), QColor(228, 4, 4),
                                            QColor(79, 100, 205)};
    return (input >= 0 && input < kInputs) ? colours[input] : QColor();
}

void FormDrawLines::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    drawlines(&painter);
}

void FormDrawLines::drawlines(QPainter *painter)
{
    if (!painter || !gMainApp)
        return;
    const DeviceData *d = gMainApp->getcurdevice();
    painter->setRenderHint(QPainter::Antialiasing, true);
    // Later inputs paint over earlier ones where lines cross.
    for (int input = 0; input < kInputs; ++input) {
        const QColor c = inputcolour(input);
        painter->setPen(QPen(QBrush(c), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::BevelJoin));
        painter->setBrush(QBrush(c, Qt::SolidPattern));
        for (int o = 0; o < kOutputs; ++o) {
            if (feeds(d, input, o))
                drawroute(painter, input, o);
        }
    }
}

void FormDrawLines::drawroute(QPainter *painter, int input, int o)
{
    if (!painter || input < 0 || input >= kInputs || o < 0 || o >= kOutputs)
        return;
    const Route &r = kRoutes[input][o];
    painter->drawEllipse(r.start);
    for (int k = 0; k < 3; ++k)
        painter->drawLine(r.points[k], r.points[k + 1]);
    painter->drawEllipse(r.end);
}

void FormDrawLines::drawlinesa(QPainter *painter, int o)
{
    drawroute(painter, 0, o);
}

void FormDrawLines::drawlinesb(QPainter *painter, int o)
{
    drawroute(painter, 1, o);
}

void FormDrawLines::drawlinesc(QPainter *painter, int o)
{
    drawroute(painter, 2, o);
}

void FormDrawLines::drawlinesd(QPainter *painter, int o)
{
    drawroute(painter, 3, o);
}
