#pragma once
// Configurations for the image tests: a few placing helpers and a seeded
// generator of valid configurations.
#include "Configuration.h"

#include <QByteArray>
#include <QString>

// Puts a Subscriber board under extension i and makes it an active member
// of class `cls` (options taken from the class).
void placeExtension(Configuration &config, int i, int number, int cls, int directDial = 0);
// Puts a Tie Line board under tie line t and makes it active with tie class `cls`.
void placeTieLine(Configuration &config, int t, int dirNum, int cls = 0);
// An active group at index g with the given members.
void placeGroup(Configuration &config, int g, int dirNum, int type, const QList<int> &members);

// A valid configuration drawn from `seed`: unique numbers, members that
// exist, guaranteed-access extensions that are active, at most one tie line
// per first extension.
Configuration randomConfiguration(quint32 seed);

// Sparse hex dump of an image, one "OOOO: xx .. xx" line per non-zero row of
// 16 bytes, and its reader ('#' lines are comments). The reader gives an
// empty array for a malformed dump.
QByteArray imageToDump(const QByteArray &image);
QByteArray dumpToImage(const QByteArray &dump);
