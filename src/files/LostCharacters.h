#pragma once
// Texts of a configuration that its file cannot hold whole: the file is
// kept in Windows-1252, and every character outside it is written as '?'.
#include "Configuration.h"

#include <QList>
#include <QString>

struct LostCharacters {
    QString where;      // "Extension 01.1 name", "System name"
    QString text;       // the text as it is in memory
    QString characters; // the characters that become '?'
};

// Every text the configuration file writes, in file order, that would lose
// characters.
QList<LostCharacters> textsLosingCharacters(const Configuration &config);
