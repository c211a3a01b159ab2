#pragma once

// Hex text: frames and payloads are handled as text, two hex digits a byte,
// and become bytes only at the port or socket.

#include <QByteArray>
#include <QChar>
#include <QString>

// 0..9 for '0'..'9', 10..15 for 'A'..'F' and 'a'..'f', -1 for anything else.
int hexdigitvalue(QChar c);

// Appends two lower-case hex digits per byte to text, no separators.
void bytestohex(const QByteArray &bytes, QString &text);
QString bytestohex(const QByteArray &bytes);

// Replaces bytes by the conversion of text: a blank where a byte would begin is
// skipped; otherwise the character and the next one form one byte,
// (16 * value(first) + value(second)) mod 256 (an invalid digit counts as -1);
// a last lone digit is dropped.
void hextobytes(const QString &text, QByteArray &bytes);
QByteArray hextobytes(const QString &text);
