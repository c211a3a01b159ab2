#pragma once

// Link groups of the gain and delay pages. Inputs (channels 0..3) and outputs
// (4..11) form groups of their own side; a channel's link mask names the
// members by bit (input k = bit k, output OUT(k+1) = bit k).

#include <QVector>

namespace channellinks
{

constexpr int kInputs = 4;
constexpr int kChannels = 12;

// The members of channel ch's link group in ascending order, ch included, when
// ch is linked: its side's link switch is on and its mask names itself and at
// least one other channel of its side (as the processor reads a mask). An unlinked channel (or one out of
// range) gives an empty list.
inline QVector<int> group(int ch, int mask, bool inputlinkon, bool outputlinkon)
{
    QVector<int> members;
    if (ch < 0 || ch >= kChannels)
        return members;
    const bool input = ch < kInputs;
    if (!(input ? inputlinkon : outputlinkon))
        return members;
    const int first = input ? 0 : kInputs;
    const int count = input ? kInputs : kChannels - kInputs;
    const int own = ch - first;
    const int side = (1 << count) - 1;
    if (!(mask & (1 << own)) || (mask & side & ~(1 << own)) == 0)
        return members;
    for (int k = 0; k < count; ++k) {
        if (k == own || (mask & (1 << k)))
            members << first + k;
    }
    return members;
}

// What a page keeps so that the partners of a linked channel follow a user's
// change of its slider, and the change counts once, for the member whose
// frame the processor applies to the whole group.
class LinkFollower
{
public:
    // True while partners are being moved: their slider changes are stored,
    // neither spread nor counted.
    bool following() const { return m_following; }
    // Runs set (which moves channel ch's slider) as a user's change: it spreads
    // to the partners like a drag does.
    template <typename Set> void foruser(int ch, Set set)
    {
        m_origin = ch + 1;
        set();
        m_origin = 0;
    }
    // After channel ch's slider took its value (focused: the user holds it):
    // moves the partners with move(m) and gives the channel whose change
    // counts, or -1 when the change was not the user's.
    template <typename Move> int follow(int ch, bool focused, const QVector<int> &group, Move move)
    {
        if (group.isEmpty())
            return ch;
        if (!focused && m_origin != ch + 1)
            return -1;
        m_following = true;
        for (int m : group)
            if (m != ch)
                move(m);
        m_following = false;
        return group.last();
    }

private:
    bool m_following = false;
    int m_origin = 0;
};

} // namespace channellinks
