#include "ModuleSearch.h"

#include "PortProblems.h"
#include "SerialLine.h"

#include <QSerialPortInfo>
#include <QSettings>

namespace {

const QString searchTitle()
{
    return QStringLiteral("Searching for Tidelex Analog...");
}

void say(const ModuleMessages &messages, const QString &line)
{
    if (messages.splash)
        messages.splash(line);
}

void box(const ModuleMessages &messages, const QString &text)
{
    if (messages.critical)
        messages.critical(searchTitle(), text);
}

// The box's own words, then what the port's device file shows (no
// permission, a folder or file given as the port, the program holding it),
// so "in use" or an error number is never all the technician gets.
QString withCause(const QString &text, const QString &portName, int result)
{
    const QString cause = portProblemSeenOnDisk(portName, result);
    return cause.isEmpty() ? text : text + QStringLiteral("\n\n") + cause;
}

} // namespace

QList<PortCandidate> systemSerialPorts()
{
    QList<PortCandidate> ports;
    const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : infos) {
        PortCandidate port;
        port.portName = info.portName();
        port.description = info.description();
        port.hasIds = info.hasVendorIdentifier() && info.hasProductIdentifier();
        port.vendorId = info.vendorIdentifier();
        port.productId = info.productIdentifier();
        ports.append(port);
    }
    return ports;
}

int silentMissing()
{
    QSettings settings(QStringLiteral("Corvane Telecom Limited"), QStringLiteral("Tidelex Analog"));
    bool ok = false;
    const int value = settings.value(QStringLiteral("Settings/SilentMissing"), 1).toInt(&ok);
    return ok ? value : 1;
}

ModuleSearch::ModuleSearch(SerialLine *line, QObject *parent)
    : QObject(parent), m_line(line), m_lister(systemSerialPorts)
{
    m_retry.setInterval(ModuleSearchIntervalMs);
    connect(&m_retry, &QTimer::timeout, this, &ModuleSearch::onRetry);
    connect(m_line, &SerialLine::lost, this, &ModuleSearch::onLineLost);
}

void ModuleSearch::setPortLister(std::function<QList<PortCandidate>()> lister)
{
    m_lister = std::move(lister);
}

bool ModuleSearch::findModules(const ModuleMessages &messages)
{
    m_found.clear();
    if (!m_fixedPort.isEmpty()) {
        m_found.append({m_fixedPort, m_fixedPort, 0});
        return true;
    }
    const QList<PortCandidate> ports = m_lister();
    for (const PortCandidate &port : ports) {
        if (!port.hasIds || port.vendorId != ModuleVendorId || port.productId != ModuleProductId)
            continue;
        FoundModule module;
        if (port.description.contains(QLatin1String("Tidelex Analogue Programming"),
                                      Qt::CaseInsensitive))
            say(messages, QStringLiteral("Found a Programming Module"));
        module.displayName =
            port.description.isEmpty() ? QStringLiteral("Unknown USB Port") : port.description;
        module.portName = port.portName.trimmed();
        if (module.portName.isEmpty()) {
            say(messages, QStringLiteral("No Serial Port found "));
        } else {
            module.portNumber = module.portName.mid(3).toInt();
            say(messages, QStringLiteral("On \"Serial Port\" ") + module.portName);
        }
        m_found.append(module);
    }
    return !m_found.isEmpty();
}


int ModuleSearch::probePort(const QString &portName)
{
    if (portName.isEmpty())
        return SerialLine::NothingThere;
    // Qt cannot ask a port whether it is busy; an open attempt tells, and a
    // free port stays open for the caller.
    return m_line->open(portName);
}

bool ModuleSearch::connectModule(const ModuleMessages &messages)
{
    bool opened = false;
    if (!findModules(messages)) {
        say(messages, QStringLiteral("No Tidelex Analogue Programming Module Found"));
    } else {
        const int silent = silentMissing();
        for (const FoundModule &module : std::as_const(m_found)) {
            const int result = probePort(module.portName);
            if (result == SerialLine::Opened) {
                opened = true;
                break;
            }
            if (result == SerialLine::NothingThere) {
                say(messages, QStringLiteral("No Tidelex Analogue Programming Module connected"));
            } else if (result == SerialLine::InUse) {
                say(messages,
                    QStringLiteral("Tidelex Analogue Programming Module in use by another program"));
                if (silent < 4)
                    box(messages, withCause(QStringLiteral("Tidelex Analogue Programming Module \n"
                                                           "in use by another program"),
                                            module.portName, result));
            } else {
                const QString number = QString::number(result);
                say(messages,
                    QStringLiteral("Tidelex Analogue Programming Module has an unknown error ") +
                        number);
                if (silent < 3)
                    box(messages, withCause(QStringLiteral("Tidelex Analogue Programming Module \n"
                                                           "has an unknown error ") +
                                                number,
                                            module.portName, result));
            }
        }
    }
    if (!opened) {
        if (messages.notFoundBox)
            box(messages, QStringLiteral("No Tidelex Analogue Programming Module Found"));
        return false;
    }
    m_retry.stop();
    emit connected(m_line->portName());
    return true;
}

bool ModuleSearch::connectModuleQuietly()
{
    if (m_line->isOpen())
        return true;
    findModules();
    for (const FoundModule &module : std::as_const(m_found)) {
        if (probePort(module.portName) == SerialLine::Opened) {
            m_retry.stop();
            emit connected(m_line->portName());
            return true;
        }
    }
    return false;
}

void ModuleSearch::startRetrying()
{
    if (!m_line->isOpen())
        m_retry.start();
}

void ModuleSearch::onRetry()
{
    if (m_line->isOpen() || connectModuleQuietly())
        m_retry.stop();
}

void ModuleSearch::onLineLost(const QString &reason)
{
    // The line is closed already; look for the module again.
    emit disconnected(reason);
    m_retry.start();
}
