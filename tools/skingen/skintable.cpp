#include "skintable.h"

namespace skin
{

QString twinPath(const QString &path)
{
    const int dot = path.lastIndexOf(QLatin1Char('.'));
    return path.left(dot) + QStringLiteral("_chs") + path.mid(dot);
}

namespace
{

// Labels drawn into the skins; the Chinese text goes into the "_chs" twin.
const Text kGain{QStringLiteral("GAIN"), QStringLiteral("增益")};
const Text kEq{QStringLiteral("EQ"), QStringLiteral("均衡")};
const Text kDelay{QStringLiteral("DELAY"), QStringLiteral("延时")};
const Text kLimit{QStringLiteral("LIMIT"), QStringLiteral("限幅")};
const Text kPeak{QStringLiteral("PEAK"), QStringLiteral("峰值")};
const Text kMute{QStringLiteral("MUTE"), QStringLiteral("静音")};
const Text kLocked{QStringLiteral("LOCKED"), QStringLiteral("已锁定")};
const Text kInOut{QStringLiteral("IN/OUT"), QStringLiteral("通道")};
const Text kAttack{QStringLiteral("ATTACK"), QStringLiteral("启动时间")};
const Text kRelease{QStringLiteral("RELEASE"), QStringLiteral("释放时间")};
const Text kRatio{QStringLiteral("RATIO"), QStringLiteral("压缩比")};
const Text kThreshold{QStringLiteral("THRESHOLD"), QStringLiteral("阈值")};

// Rows of the gain slider's groove picture (the slider's own rows, 236 of
// them) that face the middle of its 54-row handle at the levels of the
// page's scale (+12, +6, the 0 dB button, -6, -12, -24, -36, -40 dB). The
// slider's raw range 0 to 520 is -40 to +12 dB; the handle's top travels 182
// rows, its offset rounded to a whole row as the style places it. The
// middle lies between two rows: the tick takes the row above it.
QVector<qreal> gainTicks()
{
    const int span = 236 - 54, max = 520;
    QVector<qreal> rows;
    for (const int db : {12, 6, 0, -6, -12, -24, -36, -40}) {
        const int below = max - (db + 40) * 10;
        rows << (2 * below * span + max) / (2 * max) + 54 / 2 - 0.5;
    }
    return rows;
}

Text en(const char *s)
{
    return Text{QString::fromUtf8(s), QString()};
}

QVector<Skin> build()
{
    using F = Face;
    const QSize tool(42, 37);
    const QSize pageButton(71, 43);
    // clang-format off
    QVector<Skin> t = {
        // ---- Backgrounds ---------------------------------------------------------------
        {"/back/skin/001d.png", {920, 587}, background(), false},
        {"/back/skin/backall1.png", {723, 103}, panel(), false},
        {"/back/skin/backmain.png", {661, 381}, panel(), false},
        {"/back/skin/bg_limitbg1.png", {1014, 700}, background(), false},
        {"/back/skin/delay10.png", {571, 351}, panel(), false},
        {"/back/skin/geqback.png", {461, 211}, panel(), false},
        {"/back/skin/limit-10.png", {920, 587},
         [](QPainter &p, const QRect &r, Lang l) {
             background()(p, r, l);
             // Light field for the black axis labels around the black curve field.
             p.fillRect(QRect(0, 66, 320, 316), QColor(128, 132, 138));
             p.fillRect(QRect(24, 70, 285, 285), Qt::black);
         },
         false},
        {"/back/skin/inback11.png", {323, 78}, inputStrip(kGain, kEq, kDelay), true},
        {"/back/skin/outback-1.png", {537, 70}, outputStrip(kGain, kEq, kDelay, kLimit, kPeak), true},
        // ---- Lock overlays -------------------------------------------------------------
        {"/back/skin/alockchange.png", {1014, 672}, lockOverlay(kLocked, 128, false, QRect(20, 440, 270, 110)),
         true},
        // The gain page's: its badge over the inputs' step-up buttons (which the
        // lock disables), between the meters and the faders, where it covers no
        // value box, fader or meter and the window shows it (the page's right
        // edge beyond OUT8 lies outside the window).
        {"/back/skin/alockgain.png", {1014, 672}, lockOverlay(kLocked, 128, false, QRect(20, 172, 270, 42)),
         true},
        {"/back/skin/amainlock01.png", {805, 610},
         lockOverlay({QStringLiteral("LOCKED: NO CHANGES"), QStringLiteral("已锁定：禁止修改")}, 255, true,
                     QRect(8, 440, 214, 110)),
         false},
        {"/back/skin/amainlock02.png", {795, 610},
         lockOverlay({QStringLiteral("LOCKED: NO EDIT, NO VIEW"), QStringLiteral("已锁定：禁止修改和查看")}, 255,
                     true, QRect(5, 442, 214, 110)),
         false},
        {"/back/skin/blacklock.png", {1014, 700},
         lockOverlay({QStringLiteral("FULLY LOCKED"), QStringLiteral("完全锁定")}, 255, true,
                     QRect(20, 440, 270, 110)),
         false},
        {"/back/skin/apeqlock01.png", {964, 293}, lockOverlay(kLocked, 160, false), true},
        {"/back/skin/apeqlock02.png", {1000, 250}, lockOverlay(kLocked, 160, false), true},
        // ---- Titles and column headers --------------------------------------------------
        {"/back/skin/rmsl.png", {291, 51}, title({QStringLiteral("RMS LIMITER"), QStringLiteral("RMS 限幅器")}),
         true},
        {"/back/skin/maxpeaks6.png", {380, 54},
         title({QStringLiteral("MAX PEAK LEVEL"), QStringLiteral("最大峰值电平")}), true},
        {"/back/skin/peaklabels0.png", {435, 35},
         columns({{6, 57}, {70, 120}, {194, 120}, {318, 117}}, {kInOut, kAttack, kRelease, kThreshold}), true},
        {"/Label/skin/limit-LABEL.png", {580, 35},
         columns({{11, 57}, {85, 120}, {209, 120}, {333, 120}, {457, 120}},
                 {kInOut, kAttack, kRelease, kRatio, kThreshold}),
         true},
        {"/Label/skin/PEQ--09.png", {631, 31}, title(en("PARAMETRIC EQ")), false},
        {"/Label/skin/PEQblack-limit01.png", {560, 5}, separator(), false},
        // ---- Main window: tool bar, tab bar, page buttons, online indicator -------------
        {"/buttons/skin/excel.png", tool, icon(Glyph::Plug, F::Normal), false},
        {"/buttons/skin/excel3.png", tool, icon(Glyph::Plug, F::Hover), false},
        {"/buttons/skin/excel1.png", tool, icon(Glyph::Plug, F::Normal, colour::dim), false},
        {"/back/skin/excel1-0.png", tool, icon(Glyph::Plug, F::Hover, colour::text), false},
        {"/buttons/skin/excel2.png", tool, icon(Glyph::Plug, F::Normal, colour::green), false},
        {"/back/skin/excel2-0.png", tool, icon(Glyph::Plug, F::Hover, colour::green.lighter(130)), false},
        {"/buttons/skin/fileopen.png", tool, icon(Glyph::Home, F::Normal), false},
        {"/buttons/skin/fileopen1.png", tool, icon(Glyph::Home, F::Hover), false},
        {"/buttons/skin/fileopen2.png", tool, icon(Glyph::Home, F::Pressed), false},
        {"/buttons/skin/setting.png", tool, icon(Glyph::Gear, F::Normal), false},
        {"/buttons/skin/setting1.png", tool, icon(Glyph::Gear, F::Hover), false},
        {"/buttons/skin/setting2.png", tool, icon(Glyph::Gear, F::Pressed), false},
        {"/buttons/skin/download.png", tool, icon(Glyph::Chain, F::Normal), false},
        {"/buttons/skin/download1.png", tool, icon(Glyph::Chain, F::Hover), false},
        {"/buttons/skin/download2.png", tool, icon(Glyph::Chain, F::Pressed), false},
        {"/buttons/skin/savefile.png", tool, icon(Glyph::Pages, F::Normal), false},
        {"/buttons/skin/savefile1.png", tool, icon(Glyph::Pages, F::Hover), false},
        {"/buttons/skin/savefile2.png", tool, icon(Glyph::Pages, F::Pressed), false},
        {"/buttons/skin/lock.png", tool, icon(Glyph::Padlock, F::Normal), false},
        {"/buttons/skin/lock1.png", tool, icon(Glyph::Padlock, F::Hover), false},
        {"/buttons/skin/lock2.png", tool, icon(Glyph::Padlock, F::Pressed), false},
        {"/buttons/skin/Save1.png", tool, icon(Glyph::Disk, F::Normal), false},
        {"/buttons/skin/Save2.png", tool, icon(Glyph::Disk, F::Hover), false},
        {"/buttons/skin/Open1.png", tool, icon(Glyph::Folder, F::Normal), false},
        {"/buttons/skin/Open2.png", tool, icon(Glyph::Folder, F::Hover), false},
        {"/buttons/skin/help.png", tool, icon(Glyph::Port, F::Normal), false},
        {"/buttons/skin/help1.png", tool, icon(Glyph::Port, F::Hover), false},
        {"/buttons/skin/help2.png", tool, icon(Glyph::Port, F::Pressed), false},
        {"/buttons/skin/leftbutton.png", {79, 36}, face(F::Normal), false},
        {"/buttons/skin/leftbutton1.png", {79, 36}, face(F::Lit), false},
        {"/buttons/skin/aonline.png", {92, 30}, led(true), false},
        {"/buttons/skin/aoutline.png", {92, 30}, led(false), false},
        {"/buttons/skin/pagemain.png", pageButton, face(F::Normal, {"MAIN", "主控"}, 15), true},
        {"/buttons/skin/pagemain1.png", pageButton, face(F::Lit, {"MAIN", "主控"}, 15), true},
        {"/buttons/skin/pagegain.png", pageButton, face(F::Normal, kGain, 15), true},
        {"/buttons/skin/pagegain1.png", pageButton, face(F::Lit, kGain, 15), true},
        {"/buttons/skin/pagedelay.png", pageButton, face(F::Normal, kDelay, 15), true},
        {"/buttons/skin/pagedelay1.png", pageButton, face(F::Lit, kDelay, 15), true},
        {"/buttons/skin/pagepeq.png", pageButton, face(F::Normal, {"PEQ", "均衡"}, 15), true},
        {"/buttons/skin/pagepeq1.png", pageButton, face(F::Lit, {"PEQ", "均衡"}, 15), true},
        {"/buttons/skin/pagelimit.png", pageButton, face(F::Normal, kLimit, 15), true},
        {"/buttons/skin/pagelimit1.png", pageButton, face(F::Lit, kLimit, 15), true},
        {"/buttons/skin/pagepeak.png", pageButton, face(F::Normal, {"PEAK", "峰值限幅"}, 15), true},
        {"/buttons/skin/pagepeak1.png", pageButton, face(F::Lit, {"PEAK", "峰值限幅"}, 15), true},
        {"/buttons/skin/pagegeq.png", pageButton, face(F::Normal, {"GEQ", "图示均衡"}, 15), true},
        {"/buttons/skin/pagegeq1.png", pageButton, face(F::Lit, {"GEQ", "图示均衡"}, 15), true},
        {"/buttons/skin/pageset.png", pageButton, face(F::Normal, {"SETUP", "设置"}, 15), true},
        {"/buttons/skin/pageset1.png", pageButton, face(F::Lit, {"SETUP", "设置"}, 15), true},
        // ---- Dialog buttons ------------------------------------------------------------
        {"/buttons/skin/abtn.png", {75, 30}, face(F::Normal), false},
        {"/buttons/skin/abtnover.png", {75, 30}, face(F::Hover), false},
        {"/buttons/skin/abtndown.png", {75, 30}, face(F::Pressed), false},
        // ---- Main control page -----------------------------------------------------------
        {"/buttons/skin/inputback-mute.png", {59, 34}, face(F::Normal, kMute, 14), true},
        {"/buttons/skin/inputbackmute01.png", {59, 34}, face(F::Red, kMute, 14), true},
        {"/buttons/skin/outbackmute.png", {35, 34}, face(F::Normal, kMute, 11), true},
        {"/buttons/skin/outbackmute01.png", {35, 34}, face(F::Red, kMute, 11), true},
        {"/buttons/skin/outbackgain.png", {59, 34}, face(F::Lit, kGain, 13), true},
        {"/buttons/skin/outbackdelay.png", {59, 34}, face(F::Lit, kDelay, 13), true},
        {"/buttons/skin/outbackPEQ.png", {59, 34}, face(F::Lit, kEq, 13), true},
        {"/buttons/skin/outbackRMSc.png", {59, 34}, face(F::Lit, kLimit, 13), true},
        {"/buttons/skin/outbackRMSp.png", {59, 34}, face(F::Pressed, kLimit, 13), true},
        {"/buttons/skin/outbackPEAKc.png", {59, 34}, face(F::Lit, kPeak, 13), true},
        {"/buttons/skin/outbackPEAKp.png", {59, 34}, face(F::Pressed, kPeak, 13), true},
        {"/buttons/skin/outback-A.png", {20, 27}, face(F::Normal, en("A"), 14), false},
        {"/buttons/skin/outback-B.png", {20, 27}, face(F::Normal, en("B"), 14), false},
        {"/buttons/skin/outback-c.png", {20, 27}, face(F::Normal, en("C"), 14), false},
        {"/buttons/skin/outback-d.png", {20, 27}, face(F::Normal, en("D"), 14), false},
        {"/buttons/skin/outbackA.png", {20, 27}, face(F::Green, en("A"), 14), false},
        {"/buttons/skin/outbackB.png", {20, 27}, face(F::Green, en("B"), 14), false},
        {"/buttons/skin/outbackC.png", {20, 27}, face(F::Green, en("C"), 14), false},
        {"/buttons/skin/outbackD.png", {20, 27}, face(F::Green, en("D"), 14), false},
        {"/limit/skin/limitoff.png", {21, 22}, toggle(false), false},
        {"/limit/skin/limiton.png", {21, 22}, toggle(true), false},
        {"/Label/skin/inputbackA.png", {28, 28}, channelName("IN", "A"), false},
        {"/Label/skin/inputbackB.png", {28, 28}, channelName("IN", "B"), false},
        {"/Label/skin/inputbackC.png", {28, 28}, channelName("IN", "C"), false},
        {"/Label/skin/inputbackD.png", {28, 28}, channelName("IN", "D"), false},
        {"/Label/skin/outback1.png", {21, 31}, channelName("OUT", "1"), false},
        {"/Label/skin/outback2.png", {21, 31}, channelName("OUT", "2"), false},
        {"/Label/skin/outback3.png", {21, 31}, channelName("OUT", "3"), false},
        {"/Label/skin/outback4.png", {21, 31}, channelName("OUT", "4"), false},
        {"/Label/skin/outback5.png", {21, 31}, channelName("OUT", "5"), false},
        {"/Label/skin/outback6.png", {21, 31}, channelName("OUT", "6"), false},
        {"/Label/skin/outback7.png", {21, 31}, channelName("OUT", "7"), false},
        {"/Label/skin/outback8.png", {21, 31}, channelName("OUT", "8"), false},
        // ---- Gain page ----------------------------------------------------------------
        {"/gain/skin/gain_01.png", {904, 49}, panel(), false},
        {"/gain/skin/gain-gai.png", {76, 528}, meterStrip(), false},
        {"/gain/skin/gain-05.png", {19, 85}, meterCover(), false},
        // The gain slider's groove, as tall as the slider: a tick where
        // the handle's middle is at each level of the scale beside it.
        {"/gain/skin/Gain-05a.png", {30, 236}, grooveV(gainTicks()), false},
        {"/gain/skin/Gain05-a.png", {30, 228}, fillV(), false},
        {"/gain/skin/gain04.png", {34, 54}, handleV(F::Normal), false},
        {"/gain/skin/gain-04.png", {34, 54}, handleV(F::Pressed), false},
        {"/gain/skin/gainedit.png", {58, 24}, edit(true), false},
        {"/gain/skin/gain-03.png", {45, 41}, arrow(Dir::Up, F::Normal), false},
        {"/gain/skin/gain-03a.png", {45, 41}, arrow(Dir::Up, F::Pressed), false},
        {"/gain/skin/gain-03b.png", {45, 41}, arrow(Dir::Down, F::Normal), false},
        {"/gain/skin/gain-03c.png", {45, 41}, arrow(Dir::Down, F::Pressed), false},
        {"/gain/skin/gain-mute-a.png", {41, 40}, speaker(false, F::Normal), false},
        {"/gain/skin/gain-mute.png", {41, 40}, speaker(true, F::Normal), false},
        {"/gain/skin/Gain-06.png", {20, 22}, face(F::Normal, en("0"), 13), false},
        {"/gain/skin/Gain-06a.png", {20, 22}, face(F::Lit, en("0"), 13), false},
        {"/gain/skin/gain-INAa.png", {57, 31}, face(F::Normal, en("IN-A"), 15), false},
        {"/gain/skin/gainINA.png", {57, 31}, face(F::Lit, en("IN-A"), 15), false},
        {"/gain/skin/gain-INBa.png", {57, 31}, face(F::Normal, en("IN-B"), 15), false},
        {"/gain/skin/gainINB.png", {57, 31}, face(F::Lit, en("IN-B"), 15), false},
        {"/gain/skin/gain-INca.png", {57, 31}, face(F::Normal, en("IN-C"), 15), false},
        {"/gain/skin/gainINc.png", {57, 31}, face(F::Lit, en("IN-C"), 15), false},
        {"/gain/skin/gain-INDa.png", {57, 31}, face(F::Normal, en("IN-D"), 15), false},
        {"/gain/skin/gainIND.png", {57, 31}, face(F::Lit, en("IN-D"), 15), false},
        {"/gain/skin/gain-out1-a.png", {57, 31}, face(F::Normal, en("OUT1"), 15), false},
        {"/gain/skin/gainout1.png", {57, 31}, face(F::Lit, en("OUT1"), 15), false},
        {"/gain/skin/gain-out2-a.png", {57, 31}, face(F::Normal, en("OUT2"), 15), false},
        {"/gain/skin/gainout2.png", {57, 31}, face(F::Lit, en("OUT2"), 15), false},
        {"/gain/skin/crcone1.png", {32, 32}, appIcon(), false},
        // ---- Delay page -----------------------------------------------------------------
        {"/delay/skin/delaychun.png", {355, 75}, panel(), false},
        {"/delay/skin/delay02.png", {61, 47}, face(F::Normal), false},
        {"/delay/skin/delay02a.png", {61, 47}, face(F::Pressed), false},
        {"/delay/skin/delay03.png", {13, 10}, comboArrow(), false},
        {"/delay/skin/delay04c.png", {26, 61}, capSwitch(false), false},
        {"/delay/skin/delay04cc.png", {26, 61}, capSwitch(true), false},
        {"/delay/skin/delay06.png", {132, 21}, edit(false), false},
        {"/delay/skin/delay07.png", {36, 31}, handleH(F::Normal), false},
        {"/delay/skin/delay08.png", {227, 28}, grooveH(), false},
        {"/delay/skin/delay09.png", {40, 35}, arrow(Dir::Left, F::Normal), false},
        {"/delay/skin/delay09a.png", {40, 35}, arrow(Dir::Left, F::Pressed), false},
        {"/delay/skin/delay09b.png", {40, 35}, arrow(Dir::Right, F::Normal), false},
        {"/delay/skin/delay09aa.png", {40, 35}, arrow(Dir::Right, F::Pressed), false},
        // ---- EQ page --------------------------------------------------------------------
        {"/eq/skin/eqbtns.png", {848, 40}, panel(), false},
        {"/eq/skin/gainbtnback.png", {57, 29}, face(F::Normal), false},
        {"/eq/skin/gainbtnover.png", {57, 29}, face(F::Hover), false},
        {"/eq/skin/gainbtnpress.png", {57, 29}, face(F::Pressed), false},
        {"/eq/skin/PEQ_03.png", {118, 283}, panel(), false},
        {"/eq/skin/PEQ_03a.png", {44, 168}, grooveV(), false},
        {"/eq/skin/geqgainbtn.png", {23, 41}, handleV(F::Normal), false},
        {"/eq/skin/geqgainbtnok.png", {23, 41}, handleV(F::Pressed), false},
        {"/eq/skin/PEQ_01b.png", {23, 19}, arrow(Dir::Up, F::Normal), false},
        {"/eq/skin/PEQ_01bb.png", {23, 19}, arrow(Dir::Up, F::Pressed), false},
        {"/eq/skin/PEQ_01a.png", {23, 19}, arrow(Dir::Down, F::Normal), false},
        {"/eq/skin/PEQ_01aa.png", {23, 19}, arrow(Dir::Down, F::Pressed), false},
        {"/eq/skin/PEQ03c.png", {29, 31}, speaker(false, F::Normal), false},
        {"/eq/skin/PEQ05.png", {29, 31}, speaker(true, F::Normal), false},
        {"/eq/skin/PEQ03b.png", {59, 22}, edit(true), false},
        {"/eq/skin/PEQ06.png", {127, 35}, face(F::Normal), false},
        {"/eq/skin/PEQ06a.png", {127, 35}, face(F::Pressed), false},
        {"/eq/skin/PEQ_001.png", {143, 27}, combo(), false},
        {"/eq/skin/eqcomboxbtn.png", {17, 16}, comboArrow(), false},
        {"/eq/skin/PEQ_02.png", {120, 52}, panel(), false},
        {"/eq/skin/PEQ02a1.png", {97, 16}, edit(false), false},
        {"/eq/skin/PEQ_02a.png", {21, 25}, arrow(Dir::Left, F::Normal), false},
        {"/eq/skin/PEQ_02aa.png", {21, 25}, arrow(Dir::Left, F::Pressed), false},
        {"/eq/skin/PEQ_02b.png", {21, 25}, arrow(Dir::Right, F::Normal), false},
        {"/eq/skin/PEQ_02bb.png", {21, 25}, arrow(Dir::Right, F::Pressed), false},
        {"/eq/skin/PEQ_02a2.png", {66, 17}, grooveH(), false},
        {"/eq/skin/PEQ_02c.png", {32, 17}, handleH(F::Normal), false},
        {"/eq/skin/eq1btn.png", {16, 26}, face(F::Normal), false},
        {"/eq/skin/eq1btndown.png", {16, 26}, face(F::Pressed), false},
        {"/eq/skin/PEQ_07.png", {78, 36}, face(F::Normal), false},
        {"/eq/skin/PEQ_07a.png", {78, 36}, face(F::Pressed), false},
        {"/eq/skin/PEQ_08.png", {49, 30}, face(F::Normal), false},
        {"/eq/skin/PEQ_08a.png", {49, 30}, face(F::Pressed), false},
        {"/eq/skin/eqslider.png", {92, 18}, grooveH(), false},
        {"/eq/skin/eqsliderbtn.png", {32, 18}, handleH(F::Normal), false},
        {"/eq/skin/apeqscroolback.png", {25, 100}, grooveV(false), false},
        {"/eq/skin/apeqscrollhand.png", {25, 25}, knob(F::Normal), false},
        {"/eq/skin/apeqscrollhand1.png", {25, 25}, knob(F::Pressed), false},
        {"/graph/skin/HoverPoint_active.png", {24, 24}, hoverPoint(true), false},
        {"/graph/skin/HoverPoint_inactive.png", {24, 24}, hoverPoint(false), false},
        // ---- Limiter and peak-limiter pages ---------------------------------------------
        {"/limit/skin/PEQ_limit02.png", {120, 59}, panel(), false},
        {"/limit/skin/PEQ_limit02a2.png", {65, 22}, grooveH(), false},
        {"/limit/skin/PEQ_limit02c.png", {25, 22}, handleH(F::Normal), false},
        {"/limit/skin/limitPEQ02a1.png", {99, 19}, edit(false), false},
        {"/limit/skin/PEQ_limit02a.png", {21, 25}, arrow(Dir::Left, F::Normal), false},
        {"/limit/skin/PEQ_limit02aa.png", {21, 25}, arrow(Dir::Left, F::Pressed), false},
        {"/limit/skin/PEQ_limit02b.png", {21, 25}, arrow(Dir::Right, F::Normal), false},
        {"/limit/skin/PEQ_limit02bb.png", {21, 25}, arrow(Dir::Right, F::Pressed), false},
        {"/limit/skin/gainbtnback.png", {57, 29}, face(F::Normal), false},
        {"/limit/skin/gainbtnover.png", {57, 29}, face(F::Hover), false},
        {"/limit/skin/gainbtnpress.png", {57, 29}, face(F::Pressed), false},
        {"/limit/skin/compress_01.png", {59, 21}, combo(), false},
        {"/limit/skin/limitout14.png", {95, 30}, face(F::Normal, en("OUT1-4"), 15), false},
        {"/limit/skin/limitout14ok.png", {95, 30}, face(F::Hover, en("OUT1-4"), 15), false},
        {"/limit/skin/limitout14over.png", {95, 30}, face(F::Pressed, en("OUT1-4"), 15), false},
        {"/limit/skin/limitout58.png", {95, 30}, face(F::Normal, en("OUT5-8"), 15), false},
        {"/limit/skin/limitout58ok.png", {95, 30}, face(F::Hover, en("OUT5-8"), 15), false},
        {"/limit/skin/limitout58over.png", {95, 30}, face(F::Pressed, en("OUT5-8"), 15), false},
        // ---- Graphic EQ page ------------------------------------------------------------
        {"/geq/skin/geqtopbtn.png", {760, 28}, panel(), false},
        {"/geq/skin/geqbtn.png", {50, 20}, face(F::Normal), false},
        {"/geq/skin/geqbtnover.png", {50, 20}, face(F::Hover), false},
        {"/geq/skin/geqbtnok.png", {50, 20}, face(F::Pressed), false},
        // The graphic EQ's groove spans the handle's travel (its top two
        // rows above the slider): ticks at the handle's middle for every
        // 5 dB, +15 to -30, as the scale beside the sliders.
        {"/geq/skin/geqgainback.png", {27, 236}, grooveV(20.5, 215.5, 9), false},
        {"/geq/skin/geqgainbtn.png", {23, 41}, handleV(F::Normal), false},
        {"/geq/skin/geqgainbtnok.png", {23, 41}, handleV(F::Pressed), false},
        {"/geq/skin/geqbypass.png", {20, 20}, led(false, colour::amber), false},
        {"/geq/skin/geqbypassover.png", {20, 20}, led(false, colour::amber, F::Hover), false},
        {"/geq/skin/geqbypassok.png", {20, 20}, led(true, colour::amber), false},
        {"/geq/skin/geqset0.png", {20, 20}, face(F::Normal), false},
        {"/geq/skin/geqset0ok.png", {20, 20}, face(F::Pressed), false},
        {"/geq/skin/geqsetall.png", {40, 20}, face(F::Normal), false},
        {"/geq/skin/geqsetallok.png", {40, 20}, face(F::Pressed), false},
        {"/graph/skin/GEQpoint.png", {12, 12}, geqPoint(), false},
        // ---- About box logos ------------------------------------------------------------
        {"/logpic/coriol.png", {160, 32}, logo(QStringLiteral("QUB"), colour::accentHi), false},
        {"/logpic/marvik2.png", {160, 32}, logo(QStringLiteral("DSP"), colour::amber), false},
    };
    // clang-format on
    // Gain page channel buttons OUT3 to OUT8 follow one naming pattern.
    for (int k = 3; k <= 8; ++k) {
        const Text label = en(QStringLiteral("OUT%1").arg(k).toUtf8().constData());
        t.append({QStringLiteral("/gain/skin/gain-out%1a.png").arg(k),
                  {57, 31},
                  face(F::Normal, label, 15),
                  false});
        t.append(
            {QStringLiteral("/gain/skin/gainout%1.png").arg(k), {57, 31}, face(F::Lit, label, 15), false});
    }
    return t;
}

} // namespace

const QVector<Skin> &skins()
{
    static const QVector<Skin> table = build();
    return table;
}

} // namespace skin
