#pragma once
// Why a serial port cannot be used, or stopped working, named by its real
// cause in words a technician can act on: no such device, a file or folder
// given as the port, no permission, another program holding or reading it.
#include <QString>
#include <QStringList>

// openResult is what SerialLine::open gave for the port; Opened gives "".
QString describePortProblem(const QString &portName, int openResult);
// The same, but only where the port's device file tells more than the open
// did (a folder, an ordinary file, no permission, who holds it); empty when
// there is no device file to look at.
QString portProblemSeenOnDisk(const QString &portName, int openResult);

// Why a line that was open went dead; portError is the port layer's own
// text, used when nothing better can be found.
QString lostLineReason(const QString &portName, const QString &portError);

// Other programs that have the device open, as "name (process N)". Read
// from /proc where the system has it; empty where it cannot be told.
QStringList portHolders(const QString &devicePath);

// Running programs known to take new USB serial ports (a modem manager, a
// braille daemon), by name.
QStringList portGrabbersRunning();
