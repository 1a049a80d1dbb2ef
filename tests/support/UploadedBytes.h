#pragma once
// What an upload writes, found with the simulator's own map of the exchange
// so that a wrong entry in the program's map shows: everything up to the end
// of the password, and the four PIN bytes. The rest of the top blocks (the
// cabinet's slot codes among them) is the exchange's own.
#include "ExchangeSimulator.h"

#include <QByteArray>

inline QByteArray uploaded(const QByteArray &image)
{
    using Sim = ExchangeSimulator;
    constexpr int passwordEnd = Sim::PasswordAddress + Sim::PasswordLength - Sim::ConfigBase;
    constexpr int pinBytes = 4;
    return image.left(passwordEnd) + image.mid(Sim::PinAddress - Sim::ConfigBase, pinBytes);
}
