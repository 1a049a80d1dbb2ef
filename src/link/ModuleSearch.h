#pragma once
// Finding the Programming Module: a USB serial device with vendor 0x03EB and
// product 0x2381. The search lists the matching ports, opens the first one
// that is free, and while none is open it tries again every 10 seconds.
// A port named by the user (a pseudo-terminal path, say) skips the search.
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

class SerialLine;

constexpr quint16 ModuleVendorId = 0x03EB;
constexpr quint16 ModuleProductId = 0x2381;
constexpr int ModuleSearchIntervalMs = 10000;

struct FoundModule {
    QString displayName; // the device's description, or "Unknown USB Port"
    QString portName;    // what the line opens: COM5, ttyACM0, /dev/pts/3
    int portNumber = 0;  // the port name from its fourth character on, as a number; 0 if none
    bool operator==(const FoundModule &) const = default;
};

// A serial port as the system lists it.
struct PortCandidate {
    QString portName;
    QString description;
    bool hasIds = false;
    quint16 vendorId = 0;
    quint16 productId = 0;
};

// The ports QSerialPortInfo knows (pseudo-terminals are never among them).
QList<PortCandidate> systemSerialPorts();

// What the search tells the user; the GUI fills these, the CLI may leave them empty.
struct ModuleMessages {
    // A line on the start-up window.
    std::function<void(const QString &)> splash;
    // A message box with the critical icon.
    std::function<void(const QString &title, const QString &text)> critical;
    // The closing "No Tidelex Analogue Programming Module Found" box. The
    // editor leaves it out at start-up, where a technician is mostly away
    // from the exchange and the status field says it; a module that is
    // plugged in but cannot be opened still has its own box.
    bool notFoundBox = true;
};

// "Settings/silentMissing" of the program's settings; 1 when not set.
// Below 4 the in-use box is shown, below 3 the unknown-error box.
int silentMissing();

class ModuleSearch : public QObject {
    Q_OBJECT
public:
    explicit ModuleSearch(SerialLine *line, QObject *parent = nullptr);

    // Where findModules looks; systemSerialPorts() unless a test says otherwise.
    void setPortLister(std::function<QList<PortCandidate>()> lister);
    // A port given by the user: no search, just this one.
    void setFixedPort(const QString &portName) { m_fixedPort = portName; }
    QString fixedPort() const { return m_fixedPort; }

    // Rebuilds the list of modules; true when there is at least one.
    bool findModules(const ModuleMessages &messages = {});
    const QList<FoundModule> &foundModules() const { return m_found; }

    // 0 usable (and now open on the line), 1 nothing usable there, 2 in use
    // by another program, anything else an error code of the port layer.
    int probePort(const QString &portName);

    // The start-up search: opens the first usable module, telling the user
    // what it finds. True when a port was opened.
    bool connectModule(const ModuleMessages &messages);
    // The same without a word; true when the line is open afterwards.
    bool connectModuleQuietly();

    // Searches quietly every 10 seconds until a module is open.
    void startRetrying();
    void stopRetrying() { m_retry.stop(); }
    bool isRetrying() const { return m_retry.isActive(); }

signals:
    void connected(const QString &portName);
    // The module went away; the line is closed and the search runs again.
    void disconnected(const QString &reason);

private:
    QStringList candidatePorts() const;
    void onRetry();
    void onLineLost(const QString &reason);

    SerialLine *m_line;
    std::function<QList<PortCandidate>()> m_lister;
    QString m_fixedPort;
    QList<FoundModule> m_found;
    QTimer m_retry;
};
