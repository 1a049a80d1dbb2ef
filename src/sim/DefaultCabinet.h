#pragma once
// The configuration memory of a small ship's exchange the simulator starts with:
// a tone board, two Subscriber boards (extensions 100..115), one Tie Line board
// (tie lines 900..903), one hunt group, no PIN and the password "SHIP".
#include <QByteArray>
#include <QString>

QByteArray defaultCabinetImage(); // 8192 bytes, image offset 0 = exchange address 0x6000

// The memory of an exchange that holds the configuration in `fileName`: its image, with the
// slot bytes of the boards its slot list names. False with `reason` when the file cannot be loaded.
bool cabinetFromConfiguration(const QString &fileName, QByteArray &image, QString &reason);
