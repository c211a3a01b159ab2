#pragma once

// Channels of a device type and link groups. Inputs (channels 0..3) and
// outputs (4..11) form groups of their own side; a channel's link mask names
// the members by bit (input k = bit k, output OUT(k+1) = bit k).
//
// Every page follows the processor's rule: a parameter frame for a channel
// whose mask names the channel itself and at least one other channel of its
// side applies to every channel the mask names; any other frame applies to
// the channel alone (a mask without the channel's own bit links nothing).

#include <QVector>

namespace channellinks
{

constexpr int kInputs = 4;
constexpr int kChannels = 12;

// The inputs and outputs a device type has: 0x16 three and six, 0x14 two and
// four, any other type all four and eight.
inline int inputsof(int type)
{
    return type == 0x16 ? 3 : type == 0x14 ? 2 : kInputs;
}
inline int outputsof(int type)
{
    return type == 0x16 ? 6 : type == 0x14 ? 4 : kChannels - kInputs;
}
// Whether a device of this type has channel ch (0..11).
inline bool present(int type, int ch)
{
    if (ch < 0 || ch >= kChannels)
        return false;
    return ch < kInputs ? ch < inputsof(type) : ch - kInputs < outputsof(type);
}

// The members of channel ch's link group in ascending order, ch included, when
// ch is linked: its side's link switch is on and its mask names itself and at
// least one other channel of its side (as the processor reads a mask). An
// unlinked channel (or one out of range) gives an empty list.
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

// The channels a frame for ch reaches on the processor: ch's group, or ch
// alone when it is not linked.
inline QVector<int> reach(int ch, int mask)
{
    QVector<int> members = group(ch, mask, true, true);
    if (members.isEmpty() && ch >= 0 && ch < kChannels)
        members << ch;
    return members;
}

// The channel whose frame carries a change of ch that the page made to every
// member of its group (ch's group; empty when ch is not linked). preferred is
// the member the page's own rule sends (-1: the group's highest member); it
// carries the change when its own mask makes the processor apply the frame to
// the same members, ch itself otherwise (asymmetric masks), so that the
// processor changes exactly the channels the page changed. maskof(c) gives
// channel c's mask; exists(c) whether the device has channel c (members it
// lacks are neither sent nor reached).
template <typename MaskOf, typename Exists>
int carrier(int ch, const QVector<int> &group, MaskOf maskof, Exists exists, int preferred = -1)
{
    QVector<int> members;
    for (int m : group)
        if (exists(m))
            members << m;
    if (members.size() < 2)
        return ch;
    const int sent = preferred < 0 ? members.last() : preferred;
    if (!members.contains(sent))
        return ch;
    QVector<int> reached;
    for (int m : reach(sent, maskof(sent)))
        if (exists(m))
            reached << m;
    return reached == members ? sent : ch;
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
    // moves the partners of its group with move(m) and gives the channel whose
    // change counts (sent: the group's carrier), or -1 when the change was not
    // the user's.
    template <typename Move> int follow(int ch, bool focused, const QVector<int> &group, int sent, Move move)
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
        return sent;
    }

private:
    bool m_following = false;
    int m_origin = 0;
};

} // namespace channellinks
