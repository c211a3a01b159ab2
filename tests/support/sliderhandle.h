#pragma once

// Where the style puts a slider's handle, in the slider's coordinates: where
// it is drawn and where a press grabs it.

#include <QRect>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>

inline QRect handlerect(const QSlider *s)
{
    QStyleOptionSlider opt;
    opt.initFrom(s);
    opt.orientation = s->orientation();
    opt.minimum = s->minimum();
    opt.maximum = s->maximum();
    opt.tickPosition = s->tickPosition();
    opt.tickInterval = s->tickInterval();
    opt.upsideDown = s->orientation() == Qt::Horizontal ? s->invertedAppearance() : !s->invertedAppearance();
    opt.direction = Qt::LeftToRight;
    opt.sliderPosition = s->sliderPosition();
    opt.sliderValue = s->value();
    opt.singleStep = s->singleStep();
    opt.pageStep = s->pageStep();
    if (s->orientation() == Qt::Horizontal)
        opt.state |= QStyle::State_Horizontal;
    return s->style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, s);
}
