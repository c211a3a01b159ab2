#pragma once

// ReplyRate: how many replies of one command code a link hands on unasked.
// A processor answers the commands it is sent, a few replies a second per
// code; a peer that streams replies (a fault, or a hostile host on the
// network) would otherwise keep the window busy with every one of them.
//
// A reply that a running wait asks for (its unit type, address and code are
// registered with ask()) always passes. Every other reply is counted against
// its code's budget of kPerWindow replies per kWindowMs; beyond that it is
// dropped and counted in dropped(). Budgets are per code, so a flood of one
// code never starves the replies of another.
//
// GUI thread only: the registry of asked replies is shared by every link.

#include <QByteArray>

#include <array>

class ReplyRate
{
public:
    static constexpr qint64 kWindowMs = 100;
    static constexpr int kPerWindow = 32;

    // Whether a whole reply frame (44 55 66, type, address, code, ...) is
    // handed on at time nowms (a monotonic clock in milliseconds); looked at
    // before the frame is decoded, so a dropped one costs next to nothing.
    // A frame too short to name its code is left to the decoder.
    bool admit(const QByteArray &frame, qint64 nowms);
    bool admit(unsigned char type, unsigned char address, unsigned char code, qint64 nowms);
    // Unasked replies dropped since this object was made.
    qint64 dropped() const { return m_dropped; }

    // A wait for the reply of (type, address, code) starts / ends. Calls
    // nest: the same reply may be asked by several waits.
    static void ask(unsigned char type, unsigned char address, unsigned char code);
    static void unask(unsigned char type, unsigned char address, unsigned char code);
    static bool asked(unsigned char type, unsigned char address, unsigned char code);

private:
    struct Budget {
        qint64 windowstart = -1;
        int used = 0;
    };
    std::array<Budget, 256> m_budgets{};
    qint64 m_dropped = 0;
    qint64 m_loggeddropped = 0;
    qint64 m_lastlogms = -1;
};
