#pragma once
// The editor's one way to the exchange for the whole run: the serial line
// (the Programming Module, or the built-in simulator), the module search,
// the link with its message queue, the memory images, and the one operation
// that may use the line at a time. No widgets: the main window shows its
// state and enables its commands from the signals.
#include "LinkOperation.h"
#include "MemoryImages.h"
#include "ModuleSearch.h"

#include <QObject>
#include <QPointer>
#include <memory>

class ExchangeSimulator;
class SerialLine;
class SerialLink;
class SimulatedLine;
class SwitchableLine;

class ExchangeConnection : public QObject {
    Q_OBJECT
public:
    enum class State { Searching, Connected, NoModule, Simulated };

    // No window waits for ever: after this much silence an operation fails.
    static constexpr int SilenceLimitMs = 10000;

    // Over the Programming Module's serial port.
    explicit ExchangeConnection(QObject *parent = nullptr);
    // Over a device of the caller's in place of the serial port (tests).
    explicit ExchangeConnection(std::unique_ptr<SerialLine> moduleLine, QObject *parent = nullptr);
    ~ExchangeConnection() override;

    SerialLink &link() { return *m_link; }
    MemoryImages &memory() { return m_memory; }
    ModuleSearch &search() { return *m_search; }

    State state() const { return m_state; }
    // "Connected: <port>", "Searching…", "No Programming Module", "Simulated exchange".
    QString stateText() const;
    bool isOpen() const;
    bool isSimulated() const { return m_state == State::Simulated; }

    // The search that tells the user what it finds (at start-up, and when
    // the technician asks for the exchange); while no module is open it
    // repeats quietly every 10 seconds.
    bool connectAtStart(const ModuleMessages &messages);

    // The built-in simulator in place of the module, starting with `image`
    // (8192 bytes) in its memory; the module search stops.
    void useSimulator(const QByteArray &image, int baud = 57600);
    // Back to the Programming Module: the simulator goes, the search resumes.
    void useModule();
    ExchangeSimulator *simulator() const { return m_simulator.get(); }
    SimulatedLine *simulatedLine() const { return m_simLine.get(); }

    // One operation at a time: claims the line for `operation` until it ends
    // (finished, failed or cancelled). False while another one runs.
    bool claim(LinkOperation *operation);
    bool isBusy() const { return m_claimed; }
    // Gives the line back for an operation that was claimed but never started.
    void abandon(LinkOperation *operation);
    LinkOperation *running() const { return m_running; }

signals:
    void stateChanged(ExchangeConnection::State state);
    void busyChanged(bool busy);
    // The module went away; a running operation has failed already.
    void disconnected(const QString &reason);

private:
    void setState(State state);
    void release();

    std::unique_ptr<SerialLine> m_moduleLine;
    std::unique_ptr<SwitchableLine> m_line;
    std::unique_ptr<ModuleSearch> m_search;
    std::unique_ptr<SerialLink> m_link;
    std::unique_ptr<ExchangeSimulator> m_simulator;
    std::unique_ptr<SimulatedLine> m_simLine;
    MemoryImages m_memory;
    State m_state = State::NoModule;
    QPointer<LinkOperation> m_running;
    bool m_claimed = false;
};
