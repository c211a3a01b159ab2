#pragma once

// The program image: a processor's complete parameter set as one block of
// 1664 bytes, 26 packets of 64 bytes. The layout is the processor's own, so
// every offset here is fixed by the processors and by program files already
// stored. Two-byte values are stored low byte first; decoding keeps 15 bits,
// (high & 0x7F) * 256 + low.

#include <QByteArray>
#include <QString>

constexpr int kProgramImageSize = 1664;
constexpr int kPacketSize = 64;
constexpr int kPacketCount = 26;
static_assert(kPacketSize * kPacketCount == kProgramImageSize, "the last packet is full");

// Region offsets and strides, in image order. Per-channel regions hold 12
// entries (IN-A..IN-D, OUT1..OUT8), per-output regions 8 (OUT1..OUT8), the
// graphic EQ region 4 (IN-A..IN-D).
constexpr int kImageHeader = 0; // 1 byte, written as 1
constexpr int kImageName = 1;   // 20 Latin-1 characters, space-padded
constexpr int kImageNameSize = 20;
constexpr int kImageGain = 21; // 12 x 3: mute, gain w
constexpr int kImageGainStride = 3;
constexpr int kImagePeq = 57; // 12 x 54: 9 band slots of 6 bytes
constexpr int kImagePeqStride = 54;
constexpr int kImagePeqSlotSize = 6; // type, frequency w, gain w, 40 - width
constexpr int kImagePeqSlots = 9;    // slots 7 and 8 are not decoded
constexpr int kImageGeq = 705;       // 4 x 62: 31 band words, bit 15 the pass flag
constexpr int kImageGeqStride = 62;
constexpr int kImageBypass = 953;  // 12 x 1
constexpr int kImageFilters = 965; // 8 x 6: hp type, hp freq w, lp type, lp freq w
constexpr int kImageFiltersStride = 6;
constexpr int kImageCrossover = 1013; // 8 x 13: FIR type, 3 params, order|mode, 4 words
constexpr int kImageCrossoverStride = 13;
constexpr int kImageDelay = 1117; // 12 x 3: bits 0-7, 8-15, 16-22 and the on-flag in bit 7
constexpr int kImageDelayStride = 3;
constexpr int kImageOutSwitch = 1153; // 8 x 1
constexpr int kImageRouting = 1161;   // 8 x 1
constexpr int kImageLimiter = 1169;   // 12 x 7: knee, threshold w, ratio, attack w, release
constexpr int kImageLimiterStride = 7;
constexpr int kImagePeakLimiter = 1253; // 8 x 5: on, threshold w, attack, release
constexpr int kImagePeakLimiterStride = 5;
constexpr int kImageLinkMask = 1293;  // 12 x 1
constexpr int kImageUndecoded = 1305; // up to the end: not decoded

static_assert(kImageGain == kImageName + kImageNameSize, "regions follow without gaps");
static_assert(kImagePeq == kImageGain + 12 * kImageGainStride, "regions follow without gaps");
static_assert(kImagePeqStride == kImagePeqSlots * kImagePeqSlotSize, "nine slots per channel");
static_assert(kImageGeq == kImagePeq + 12 * kImagePeqStride, "regions follow without gaps");
static_assert(kImageBypass == kImageGeq + 4 * kImageGeqStride, "regions follow without gaps");
static_assert(kImageFilters == kImageBypass + 12, "regions follow without gaps");
static_assert(kImageCrossover == kImageFilters + 8 * kImageFiltersStride, "regions follow without gaps");
static_assert(kImageDelay == kImageCrossover + 8 * kImageCrossoverStride, "regions follow without gaps");
static_assert(kImageOutSwitch == kImageDelay + 12 * kImageDelayStride, "regions follow without gaps");
static_assert(kImageRouting == kImageOutSwitch + 8, "regions follow without gaps");
static_assert(kImageLimiter == kImageRouting + 8, "regions follow without gaps");
static_assert(kImagePeakLimiter == kImageLimiter + 12 * kImageLimiterStride, "regions follow without gaps");
static_assert(kImageLinkMask == kImagePeakLimiter + 8 * kImagePeakLimiterStride,
              "regions follow without gaps");
static_assert(kImageUndecoded == kImageLinkMask + 12, "regions follow without gaps");

// The power-on image template built into the application (1664 bytes): the
// image a new DeviceData record holds as its current image and decodes for its
// factory parameters.
QByteArray poweronimage();

// The first field of a program image that lies outside its range, as the
// pages and the processor use it: its name in English and Chinese (for
// example "OUT3 limiter attack") and the value found. A file holding such a
// field would be sent byte for byte while the model decoded other values.
struct ImageFieldFault {
    QString english;
    QString chinese;
    int value = 0;
};

// Checks every decoded field of one image (1664 bytes) in image order; false
// with the first field out of range in fault. An image of zeros only (a
// program slot never stored) passes; so does every image packprogram writes
// from a model whose fields are in range.
bool checkprogramimage(const QByteArray &image, ImageFieldFault *fault = nullptr);

// The same for several images one after the other (a collection); with more
// than one image the field names start with the program number
// ("program 3, ...").
bool checkprogramimages(const QByteArray &images, ImageFieldFault *fault = nullptr);

// The message that refuses a file with such a field, in English or Chinese.
QString damagedimagemessage(const ImageFieldFault &fault, bool chinese);
