#pragma once
// List export (File > Export): the extensions, tie lines and groups as three
// comma- or TAB-separated files next to each other. Reads the configuration
// and changes nothing. Core only: no painting, no windows.
#include "Configuration.h"

#include <QString>
#include <QStringList>

struct PathParts {
    QString folder;    // everything before the last "/" or "\"
    QString fileName;  // the name after it
    QString baseName;  // the name before its first "."
    QString extension; // the name after its first "."
};

// Splits a path written with "/" or "\" separators; an empty path gives
// empty parts. A bare name has the folder ".".
PathParts splitPath(const QString &fileName);

// Display name of a number: an extension 100..499, a group 500..599,
// "Unknown Extension", "Unknown Group", "Invalid Extension", or empty for 0.
QString nameOfNumber(const Configuration &config, int number);

// The three files written for a chosen name, in the order extensions, tie
// lines, groups. Choosing any file of an earlier export set names that set.
QStringList exportFileNames(const QString &fileName);

// Writes the three files for the chosen name (file first, as every writer
// of the program takes it); false with a message naming the file that could
// not be written. The separator is TAB for the extension exactly "TAB", a
// comma otherwise.
bool exportLists(const QString &fileName, const Configuration &config, QString *message);
