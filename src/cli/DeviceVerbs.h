#pragma once
// What the exchange verbs of helmwise-cli share: their options, and a
// session holding the port, the link and the memory images for one command.
#include "Commands.h"

#include "MemoryImages.h"
#include "ModuleSearch.h"
#include "QtSerialLine.h"
#include "SerialLink.h"

#include <QString>
#include <QStringList>
#include <functional>

class LinkOperation;

namespace cli
{

constexpr double DefaultTimeoutSeconds = 10;
constexpr double MinTimeoutSeconds = 0.1;
constexpr double MaxTimeoutSeconds = 3600;

struct DeviceOptions {
    QString verb;
    QString port;
    int timeoutMs = int(DefaultTimeoutSeconds * 1000);
    QString image;          // download: where the raw image goes; upload: the image to send
    QString backupDir;      // upload: where the backup goes (empty: the default folder)
    bool backup = true;     // upload
    bool verify = true;     // upload: read the written area back
    bool ignoreBoards = false; // upload: send even onto a cabinet with other boards
    bool dryRun = false;       // upload: show what would change, write nothing
    bool readTwice = false; // download --verify: every block until two readings agree
    QString clockSet;
    bool clockPc = false;
    QStringList positional;
};

// Parses an exchange verb's options and its least..most positional
// arguments (see parseVerbLine); the exit status to end with, or nothing
// when the verb is to go on.
std::optional<int> parseDeviceOptions(const QStringList &args, int least, int most,
                                      DeviceOptions &options, Streams io);

// The port, the link on it and the memory images, for one command.
class Session
{
  public:
    explicit Session(const DeviceOptions &options);

    // Opens the named port or the first module found; false with the real
    // cause of every failure printed.
    bool connect(Streams io);
    // Runs the operation started by `start` until it ends, printing its
    // progress and its failure; the exit status (ExitOk when it finished).
    int run(LinkOperation &operation, const std::function<void()> &start, Streams io);

    SerialLink &link() { return m_link; }
    MemoryImages &memory() { return m_memory; }

  private:
    QtSerialLine m_line;
    ModuleSearch m_search;
    SerialLink m_link;
    MemoryImages m_memory;
};

} // namespace cli
