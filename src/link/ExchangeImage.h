#pragma once
// The exchange memory image: the bytes the exchange keeps its whole
// configuration in (ExchangeMap.h says where each field sits), and the
// conversion between that image and the configuration tables in both
// directions.
#include "BcdCodec.h"
#include "Configuration.h"
#include "ExchangeMap.h"

#include <QByteArray>
#include <QList>
#include <optional>

struct ImageBuild {
    QByteArray image;            // ExchMap::MemorySize bytes
    QList<int> missingMembers;   // group member numbers with no active extension, once per member
};

// Encodes the tables into a fresh image. Never opens a window: members
// that match no active extension are listed in missingMembers (their byte
// stays 0) and the caller shows "Can not find extension" for each.
ImageBuild buildExchMemory(const Configuration &config);

// Replaces the configuration by the contents of a downloaded image:
// clearConfig, then every table filled from the image. The class tables are
// only read (to find each extension's class). An image that is not exactly
// ExchMap::MemorySize bytes is refused with false and the configuration is left
// untouched.
bool decodeExchMemory(const QByteArray &image, Configuration &config);

// Why `image` is not the configuration memory of an exchange, so that
// sending it would leave the exchange with nonsense: not 8192 bytes, no
// marker bytes at the system marker, or records the decoder cannot take
// (numbers that are not decimal, groups with more members than a record
// holds or members beyond the last extension). Empty for an image the
// exchange could have held.
QString configurationImageProblem(const QByteArray &image);

// The highest number, counting down from 546, that no group's DirNum equals.
int nextFreeGroupNumber(const Configuration &config);

// The slot bytes as the exchange fills them in for the boards it holds
// (board code in the high nibble). The program never writes them into an
// image it sends; the simulator and tests use this to stand in for the
// exchange.
uint8_t slotCodeForBoard(int boardType);
// The board a slot byte names; nothing for a code no board has.
std::optional<int16_t> boardForSlotCode(uint8_t code);
void stampSlotCodes(QByteArray &image, const std::array<int16_t, tidelex::SlotCount> &boards);
