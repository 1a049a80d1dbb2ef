#pragma once
// The small number encodings of the exchange memory image: the two-byte
// decimal (BCD) word, the flagged word of the membership tables, the
// guaranteed-access mask and the PIN word. Every word is stored low byte
// first.
#include "Configuration.h"

#include <QString>
#include <cstdint>

struct ExchWord {
    uint8_t low = 0;  // byte at the lower offset
    uint8_t high = 0;

    bool operator==(const ExchWord &) const = default;
};

// Added to the high byte of the words in the group-membership table and the
// second-extension table.
constexpr uint8_t FlaggedNumberOffset = 0x58;

// 0..9999 as four decimal digits: digits 1-2 form the high byte, 3-4 the low
// byte (123 -> low 0x23, high 0x01). A number outside 0..9999 cannot be
// written and gives 00 00.
ExchWord encodeBcdWord(int number);
// High byte as hexadecimal without leading zeros, low byte as two hexadecimal
// digits, read as a decimal number as far as the digits go (0x23,0x01 -> 123;
// a digit A..F ends the number).
int decodeBcdWord(ExchWord word);

// BCD word with FlaggedNumberOffset added to the high byte.
ExchWord encodeFlaggedWord(int number);
// Keeps the low three bits of the high byte (which drops the flag) and
// decodes the rest as a BCD word.
int decodeFlaggedWord(ExchWord word);

// Mask from how many guaranteed-access slots are in use, counted up to the
// first empty one (-1): none FF FF, one FE FF, two FA FF, three EA FF.
ExchWord guaranteedAccessMask(const SystemRecord &sys);
constexpr ExchWord GuaranteedWord{0xFF, 0xFF};

// PIN 1..9999 as four digits with every 0 written as the hexadecimal digit A,
// digits 1-2 the high byte, 3-4 the low byte (1000 -> low 0xAA, high 0x1A).
// 0 (no PIN) and anything outside 1..9999 give 00 00.
ExchWord encodePinWord(int pin);
// 0 when either byte is 0xFF; otherwise the hexadecimal digits with every A
// read as 0, as a decimal number as far as the digits go.
int decodePinWord(ExchWord word);

// Leading decimal digits of `text` as a number (0 when there are none).
int leadingDecimalValue(const QString &text);
