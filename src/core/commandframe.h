#pragma once

// Command frames towards a processor, as hex text:
//   "112233", type, address, command, payload, checksum, "445566"
// Shared by the serial engine and the network link, which send the same frames.

#include <QString>

// One byte as two lower-case hex digits.
QString hexbyte(unsigned char value);

// Checksum of a frame body (address, command and payload as hex text): the sum
// of the bytes the text spells (blanks skipped), modulo 256, ANDed with 0x7F,
// as two lower-case hex digits. An empty body gives "00".
QString commandchecksum(const QString &body);

// The whole frame text for one command. The payload text is taken as the caller
// gives it (it may hold blanks and upper-case digits); everything the builder
// adds is lower case.
QString buildcommandframe(unsigned char type, unsigned char address, unsigned char command,
                          const QString &payload);
