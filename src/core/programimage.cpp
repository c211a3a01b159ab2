#include "programimage.h"

namespace
{

void putword(QByteArray &image, int offset, int value)
{
    image[offset] = static_cast<char>(value & 0xFF);
    image[offset + 1] = static_cast<char>((value >> 8) & 0xFF);
}

QByteArray buildpoweronimage()
{
    QByteArray image(kProgramImageSize, '\0');

    image[kImageHeader] = 1;
    const QByteArray name = QByteArray("12").leftJustified(kImageNameSize, ' ');
    for (int i = 0; i < kImageNameSize; ++i)
        image[kImageName + i] = name.at(i);

    // Inputs start muted, outputs sounding; every gain 0 dB.
    for (int c = 0; c < 12; ++c) {
        image[kImageGain + kImageGainStride * c] = c < 4 ? 1 : 0;
        putword(image, kImageGain + kImageGainStride * c + 1, 400);
    }

    // Parametric slots: type 0, 0 dB, width index 14; inputs spread in octaves
    // from 31.3 Hz, outputs from 57.9 Hz.
    static const int inputfreqs[kImagePeqSlots] = {59, 95, 130, 166, 202, 238, 274, 310, 346};
    static const int outputfreqs[kImagePeqSlots] = {91, 110, 128, 147, 166, 185, 204, 223, 242};
    for (int c = 0; c < 12; ++c) {
        for (int s = 0; s < kImagePeqSlots; ++s) {
            const int slot = kImagePeq + kImagePeqStride * c + kImagePeqSlotSize * s;
            image[slot] = 0;
            putword(image, slot + 1, c < 4 ? inputfreqs[s] : outputfreqs[s]);
            putword(image, slot + 3, 300);
            image[slot + 5] = 40 - 14;
        }
    }

    // Graphic EQ flat.
    for (int c = 0; c < 4; ++c)
        for (int b = 0; b < 31; ++b)
            putword(image, kImageGeq + kImageGeqStride * c + 2 * b, 300);

    // High-pass and low-pass: odd outputs 40.1 Hz..1620 Hz, even outputs
    // 1620 Hz..21.9 kHz.
    for (int o = 0; o < 8; ++o) {
        const int rec = kImageFilters + kImageFiltersStride * o;
        const bool odd = o % 2 == 0;
        image[rec] = 0;
        putword(image, rec + 1, odd ? 72 : 263);
        image[rec + 3] = 0;
        putword(image, rec + 4, odd ? 263 : 398);
    }

    // Crossover/FIR records in IIR mode.
    for (int o = 0; o < 8; ++o) {
        const int rec = kImageCrossover + kImageCrossoverStride * o;
        image[rec] = 0;
        image[rec + 1] = 2;
        image[rec + 2] = 0;
        image[rec + 3] = 2;
        image[rec + 4] = 0;
        putword(image, rec + 5, 284);
        putword(image, rec + 7, 284);
        putword(image, rec + 9, 190);
        putword(image, rec + 11, 384);
    }

    // Delay, output switches and routing stay zero.

    for (int c = 0; c < 12; ++c) {
        const int rec = kImageLimiter + kImageLimiterStride * c;
        image[rec] = 0;
        putword(image, rec + 1, 400);
        image[rec + 3] = 2;
        putword(image, rec + 4, 50);
        image[rec + 6] = 1;
    }

    for (int o = 0; o < 8; ++o) {
        const int rec = kImagePeakLimiter + kImagePeakLimiterStride * o;
        image[rec] = 0;
        putword(image, rec + 1, 400);
        image[rec + 3] = 1;
        image[rec + 4] = 1;
    }

    // Nothing linked: every channel's mask is its own bit.
    for (int c = 0; c < 4; ++c)
        image[kImageLinkMask + c] = static_cast<char>(1 << c);
    for (int o = 0; o < 8; ++o)
        image[kImageLinkMask + 4 + o] = static_cast<char>(1 << o);

    return image;
}

} // namespace

QByteArray poweronimage()
{
    static const QByteArray image = buildpoweronimage();
    return image;
}
