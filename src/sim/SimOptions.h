#pragma once
// Command line of tidelex-sim, parsed into settings the program applies.
#include "SimFaults.h"

#include <QString>
#include <QStringList>

struct SimOptions {
    QString imageFile;   // empty: the default cabinet
    QString cabinetFile; // a configuration whose boards and contents the exchange starts with
    int baud = 57600;  // 0: unpaced
    quint8 firmware = 0x32;
    SimFaults faults;
};

// Fills `options` from the arguments (program name first). On a bad or missing value
// returns false with `error` set; on --help or --version returns false with `error` empty
// and `helpText` set.
bool parseSimOptions(const QStringList &arguments, SimOptions &options, QString &error,
                     QString &helpText);
