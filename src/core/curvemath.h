#pragma once

// Response mathematics shared by every curve display: the constant frequency
// tables (399-point frequency grid, 41-step band width table with its Q values,
// 31 graphic-EQ centres), the logarithmic pixel mappings, the magnitude and
// phase of the second-order sections of the EQ bands and crossover filters, and
// the windowed-sinc FIR design with its chirp-z response.
//
// Widget-free; one instance per widget, GUI thread only (an evaluation writes
// the instance's scratch and result arrays).
//
// Index arguments out of range never read or write outside a table: grid,
// width and graphic-EQ indices are clamped to their tables, an order index
// other than 0..2 designs no taps, a window index above 10 acts as 10, a
// segment other than 0..2 is segment 3, and an FIR point or phase index out of
// range reads as the nearest point (phase: is computed but not stored).
//
// Display floor: a section or FIR level can be minus infinity (a zero
// magnitude, e.g. an FIR with no taps or a band-pass with equal corners) or
// not a number (nonsense arguments). Every dB value an accessor hands to a
// display -- peakingdb, the six crossover sections and getfirmag -- is clamped
// to [kDisplayFloorDb, kDisplayCeilingDb] with NaN reading as the floor, so a
// display can scale and truncate it to pixels without infinite coordinates.
// The FIR level array itself keeps minus infinity (firlevelraw).

#include <QtGlobal>

class CurveMath
{
public:
    static constexpr int kGridSize = 399;      // frequency grid, index 0..398
    static constexpr int kWidthCount = 41;     // band width index 0..40
    static constexpr int kGeqBandCount = 31;   // graphic-EQ band 0..30
    static constexpr int kFirPointCount = 399; // FIR response points, index 0..398
    static constexpr int kFirSegmentCount = 4; // 100, 100, 100 and 99 points

    // Lowest and highest dB value handed to a display (see above). -200 dB lies
    // far below the lowest row of every plot, so clamped points are drawn off
    // the plot and clipped by the widget.
    static constexpr double kDisplayFloorDb = -200.0;
    static constexpr double kDisplayCeilingDb = 200.0;

    // Clamps a dB value into the display range; NaN gives the floor.
    static double displaydb(double db);

    CurveMath() = default;

    // --- tables ---------------------------------------------------------
    double getfreq(int i) const;     // grid entry i in Hz
    double getgridfreq(int i) const; // the same grid, used by the FIR panel
    double getq(int w) const;        // Q of width index w (0 narrowest)
    double getwidth(int w) const;    // width in octaves of width index w
    double getgeqfreq(int k) const;  // graphic-EQ centre frequency of band k

    // Nearest grid index (equal distances give the upper index; 0 at or below
    // 10 Hz, 398 above 21.9 kHz).
    unsigned int findfreqindex(double f) const;
    double findgridindex(int f) const;

    // --- logarithmic axis from 10 Hz to 21.9 kHz --------------------------
    // x = trunc(ln(f / 10) * W / ln 2190) for W = 800, 400, 402. Frequencies
    // at or below zero (or NaN) give a far-left pixel instead of an undefined
    // conversion.
    int freqtox(double f) const;
    int freqtox400(double f) const;
    int freqtox402(double f) const;
    int geqbandtox(int k) const;
    // Grid index whose 800-pixel position is nearest to x (ties: upper index).
    unsigned int xtofreqindex(int x) const;

    // --- second-order sections, magnitude in dB at f (fs 96 kHz) ---------
    double peakingdb(float f0, float gain, float q, float f);
    // Low-pass / high-pass with damping 0.70710677 (1), 0.8660254 (2),
    // 1.118034 (3); the middle two arguments are ignored.
    double lowpassdb1(float f0, float gain, float q, float f);
    double lowpassdb2(float f0, float gain, float q, float f);
    double lowpassdb3(float f0, float gain, float q, float f);
    double highpassdb1(float f0, float gain, float q, float f);
    double highpassdb2(float f0, float gain, float q, float f);
    double highpassdb3(float f0, float gain, float q, float f);

    // Phase in degrees (-180..180) at f (fs 48 kHz) of a peaking section
    // (kind 0) or a second-order all-pass (any other kind); also stored in
    // phase[i] when i is 0..398. A non-finite result reads as 0.
    double phasedeg(float f0, float gain, float q, float f, float kind, float unused, int i);
    double getphase(int i) const; // phase[i] as last stored (0 before)

    // --- FIR design (fs 48 kHz) -------------------------------------------
    // Fills window[0..N] for the order (N = 64, 96, 128; other orders: N = 0,
    // nothing filled) and window index (above 10 acts as 10).
    void firwindow(quint8 order, quint8 window);
    // Chirp-z transform: replaces the first m entries of the work arrays by
    // the spectrum of the first n taps at m equally spaced normalised
    // frequencies (fractions of Nyquist) from start to end. n is limited to
    // 0..256 and m to 0..256.
    void firdesign(int n, int m, double start, double end);
    // Band-pass, low-pass and high-pass design and the level of one segment's
    // points from start to end Hz (note the order: end first).
    void firresponse1(float f1, float f2, double end, double start, quint8 order, double window, int segment);
    void firresponse2(float fc, double end, double start, quint8 order, double window, int segment);
    void firresponse3(float fc, double end, double start, quint8 order, double window, int segment);
    // Point frequencies of a segment: start + k * (end - start) / (n - 1);
    // n below 2 puts every point of the segment at start.
    void setfirfreqs(double end, double start, int n, int segment);
    double getfirmag(int i) const;          // level of FIR point i in dB, display-clamped
    double firlevelraw(int i) const;        // the same, unclamped (may be minus infinity)
    double getfirphase(int i) const;        // frequency of FIR point i in Hz
    double getfirorder(quint8 order) const; // 64, 96, 128; 0 for other orders

    // The window and the taps of the last design (0 outside 0..255).
    double firwindowvalue(int n) const;
    double firtap(int n) const;

    static int firtaps(quint8 order);

private:
    struct Section {
        // key
        int kind = -1;
        float f0 = 0, gain = 0, q = 0;
        // |H|^2 at P = 4 sin^2(pi f / fs): num = sn + (bn * P - cn) * P,
        // den = sd + (bd * P - cd) * P
        double sn = 0, bn = 0, cn = 0, sd = 0, bd = 0, cd = 0;
    };

    enum SectionKind { Peaking = 0, LowPass1, LowPass2, LowPass3, HighPass1, HighPass2, HighPass3 };

    double sectiondb(int kind, float f0, float gain, float q, float f);
    const Section &section(int kind, float f0, float gain, float q);
    void designtaps(int type, float f1, float f2, quint8 order, double window);
    void evaluatesegment(int n, double end, double start, int segment);
    static int segmentstart(int segment);
    static int segmentpoints(int segment);
    static quint8 windowbyte(double window);

    // Coefficient sets of the last sections evaluated (a display evaluates
    // the same few sections at every grid point), and the last evaluation
    // frequency with its 4 sin^2(pi f / fs).
    static constexpr int kSectionSlots = 16;
    Section m_sections[kSectionSlots];
    int m_nextslot = 0;
    float m_lastf = 0;
    double m_lastp = 0;
    bool m_lastvalid = false;

    double m_phase[kGridSize] = {};

    double m_firlevel[512] = {};
    double m_firfreq[512] = {};
    double m_workre[512] = {};
    double m_workim[512] = {};
    double m_window[256] = {};
    double m_taps[256] = {};
};
