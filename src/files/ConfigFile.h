#pragma once
// The configuration file (.TWZ): a small XML dialect, one element per line,
// TAB indentation, CR LF line ends, Windows-1252 text. The writer produces
// it byte for byte; the reader accepts every well-formed file of the dialect
// and refuses everything else without touching the configuration in use.
#include "Configuration.h"

#include <QByteArray>
#include <QString>

class QIODevice;

enum ReadConfigResult { ReadConfigFailed = 0, ReadConfigOk = 1, ReadConfigBadVersion = -2 };

// The two lines every configuration file starts with.
QByteArray configHeaderLine1();
QByteArray configHeaderLine2();

// Appends one line: `indent` TABs, then <tag>value</tag>, or <tag/> when the
// value is empty. The value is XML-escaped and encoded as Windows-1252.
void writeXmlElement(QByteArray &file, int indent, const QString &tag, const QString &value);

// The whole file as bytes, with `lastUpdate` as the save time.
QByteArray configFileBytes(const Configuration &config, const QString &lastUpdate);

// Writes the whole configuration to an open device. False with the reason
// when the device refuses bytes.
bool writeConfig(QIODevice &device, const Configuration &config, const QString &lastUpdate,
                 QString *error = nullptr);

// Writes the configuration file through QSaveFile, so a failed save leaves an
// existing file as it was. An empty lastUpdate stands for now, in the user's
// short date-and-time format. An empty file name writes nothing and fails.
// The caller clears its modified flag after a successful write.
bool writeConfigFile(const QString &fileName, const Configuration &config, QString *error = nullptr,
                     const QString &lastUpdate = QString());

// The save time as the file records it: now, in the user's short format.
QString currentLastUpdate();

// Removes one leading and one trailing double quote, in place.
void stripFileNameQuotes(QString &fileName);

// Removes one leading and one trailing double quote from the name (in
// place), then tells whether the file starts with the two header lines,
// exactly. A file that cannot be opened or read gives false.
bool existFile(QString &fileName);

// Reads a configuration. ReadConfigOk: `config` holds the file's
// configuration (reset first, class tables and slots 0, 1 and 17 kept where
// the file does not set them). ReadConfigBadVersion: the VERSION is not
// "3.0". ReadConfigFailed: the file is not a readable configuration; the
// reason goes to *error. On any failure `config` is left as it was.
ReadConfigResult readConfig(QIODevice &device, Configuration &config,
                            QString *error = nullptr);
ReadConfigResult readConfigFile(const QString &fileName, Configuration &config,
                                QString *error = nullptr);
