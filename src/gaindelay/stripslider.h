#pragma once

// The gain and delay strips' sliders follow the device without echoing: a
// slider is set only when it stands elsewhere (a slider set to its own value
// emits nothing, which callers that need the follow-up handle themselves).

#include <QSlider>

// True when the slider moved.
inline bool moveslider(QSlider *slider, int value)
{
    if (slider->value() == value)
        return false;
    slider->setValue(value);
    return true;
}
