#include "PortProblems.h"

#include "SerialLine.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace
{

const QString procFolder()
{
    return QStringLiteral("/proc");
}

// The device file behind a port name as the serial port opens it: a path
// as given, a bare name under /dev ("ttyUSB0" is /dev/ttyUSB0); empty where
// ports are not files (Windows).
QString devicePath(const QString &portName)
{
#ifdef Q_OS_WIN
    Q_UNUSED(portName);
    return QString();
#else
    if (portName.startsWith(u'/') || portName.startsWith(u'.'))
        return QFileInfo(portName).absoluteFilePath();
    // A bare name that is no device but names something in the current
    // folder was most likely meant as that file.
    const QString device = QStringLiteral("/dev/") + portName;
    if (!QFileInfo::exists(device) && QFileInfo::exists(portName))
        return QFileInfo(portName).absoluteFilePath();
    return device;
#endif
}

// Whether a device file is a terminal, the only kind of device a serial
// port is: the kernel lists every one under /sys/class/tty, pseudo-terminals
// live under /dev/pts. Where the system has no such list, every device may be.
bool isTerminalDevice(const QString &path)
{
    const QString target = QFileInfo(path).canonicalFilePath();
    if (target.startsWith(QLatin1String("/dev/pts/")))
        return true;
    const QString ttyClass = QStringLiteral("/sys/class/tty");
    if (!QFileInfo(ttyClass).isDir())
        return true;
    return QFileInfo::exists(ttyClass + u'/' + QFileInfo(target).fileName());
}

QString processName(const QString &pid)
{
    QFile comm(procFolder() + u'/' + pid + QStringLiteral("/comm"));
    if (!comm.open(QIODevice::ReadOnly))
        return QStringLiteral("an unknown program");
    return QString::fromLocal8Bit(comm.readAll()).trimmed();
}

// Process folders of /proc other than this program's own.
QStringList otherProcesses()
{
    const QString self = QString::number(QCoreApplication::applicationPid());
    QStringList pids;
    const QStringList entries = QDir(procFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool number = false;
        entry.toLongLong(&number);
        if (number && entry != self)
            pids.append(entry);
    }
    return pids;
}

bool holdsFile(const QString &pid, const QString &target)
{
    const QDir fds(procFolder() + u'/' + pid + QStringLiteral("/fd"));
    const QFileInfoList links =
        fds.entryInfoList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo &link : links) {
        if (link.symLinkTarget() == target)
            return true;
    }
    return false;
}

QString udevAdvice()
{
    return QStringLiteral("install the udev rule from dist/udev (copy it to /etc/udev/rules.d/)");
}

// The first few holders; a port held by many is named by those.
QString holderList(const QStringList &holders)
{
    constexpr int Shown = 3;
    QString text = holders.mid(0, Shown).join(QStringLiteral(", "));
    if (holders.size() > Shown)
        text += QStringLiteral(" and %1 more").arg(holders.size() - Shown);
    return text;
}

QString inUseText(const QString &portName, const QString &path)
{
    const QStringList holders = path.isEmpty() ? QStringList() : portHolders(path);
    if (!holders.isEmpty())
        return QStringLiteral("%1 is in use by %2. A modem manager or braille daemon often takes "
                              "a new USB serial port: stop that program, or %3.")
            .arg(portName, holderList(holders), udevAdvice());
    QString text = QStringLiteral("%1 is in use by another program.").arg(portName);
    const QStringList grabbers = portGrabbersRunning();
    if (!grabbers.isEmpty())
        text += QStringLiteral(" %1 is running and often takes new USB serial ports: %2.")
                    .arg(grabbers.join(QStringLiteral(" and ")), udevAdvice());
    return text;
}

} // namespace

QStringList portHolders(const QString &devicePath)
{
    QStringList holders;
    const QString target = QFileInfo(devicePath).canonicalFilePath();
    if (target.isEmpty() || !QFileInfo::exists(procFolder()))
        return holders;
    // The program on the master side of a pseudo-terminal (the simulator)
    // is the far end of the line, not a rival for it.
    const bool pseudoTerminal = target.startsWith(QLatin1String("/dev/pts/"));
    const QStringList pids = otherProcesses();
    for (const QString &pid : pids) {
        if (holdsFile(pid, target) &&
            !(pseudoTerminal && holdsFile(pid, QStringLiteral("/dev/ptmx"))))
            holders.append(QStringLiteral("%1 (process %2)").arg(processName(pid), pid));
    }
    return holders;
}

QStringList portGrabbersRunning()
{
    static const QStringList known = {QStringLiteral("ModemManager"), QStringLiteral("brltty")};
    QStringList running;
    const QStringList pids = otherProcesses();
    for (const QString &pid : pids) {
        const QString name = processName(pid);
        if (known.contains(name) && !running.contains(name))
            running.append(name);
    }
    return running;
}

QString describePortProblem(const QString &portName, int openResult)
{
    if (openResult == SerialLine::Opened)
        return QString();
    const QString path = devicePath(portName);
    if (path.isEmpty()) { // no device files to look at: the port layer's answer is all there is
        if (openResult == SerialLine::NothingThere)
            return QStringLiteral("There is no port %1.").arg(portName);
        if (openResult == SerialLine::InUse)
            return inUseText(portName, path);
        return QStringLiteral("%1 cannot be opened (error %2).").arg(portName).arg(openResult);
    }
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("There is no port %1: the Programming Module is not plugged in, or "
                              "the name is wrong.")
            .arg(portName);
    if (info.isDir())
        return QStringLiteral("%1 is a folder, not a serial port.").arg(portName);
    if (info.isFile())
        return QStringLiteral("%1 is an ordinary file, not a serial port.").arg(portName);
    // Others holding a device that is no serial port (/dev/null, say) are
    // no rivals for the line: the device is the problem.
    if (!isTerminalDevice(path))
        return QStringLiteral("%1 is a device or special file, not a serial port.").arg(portName);
    if (!info.isReadable() || !info.isWritable())
        return QStringLiteral("You have no permission to use %1. Add yourself to the dialout "
                              "group: sudo usermod -aG dialout $USER, then log in again. The "
                              "helmWISE package installs a udev rule that gives the module to "
                              "the user logged in at the computer; from a source build, copy "
                              "dist/udev/60-tidelex-programming-module.rules to "
                              "/etc/udev/rules.d/ and plug the module in again.")
            .arg(portName);
    if (openResult == SerialLine::InUse || !portHolders(path).isEmpty())
        return inUseText(portName, path);
    return QStringLiteral("%1 is not a serial port: it cannot be set up as a line (error %2).")
        .arg(portName)
        .arg(openResult);
}

QString portProblemSeenOnDisk(const QString &portName, int openResult)
{
    const QString path = devicePath(portName);
    if (openResult == SerialLine::Opened || path.isEmpty() || !QFileInfo::exists(path))
        return QString();
    return describePortProblem(portName, openResult);
}

QString lostLineReason(const QString &portName, const QString &portError)
{
    const QString path = devicePath(portName);
    if (path.isEmpty())
        return portError;
    if (!QFileInfo::exists(path))
        return QStringLiteral("the device is gone (unplugged, or its port was closed)");
    const QStringList holders = portHolders(path);
    if (!holders.isEmpty())
        return QStringLiteral("another program is reading the same port and takes the exchange's "
                              "replies: %1. Close it, or %2")
            .arg(holderList(holders), udevAdvice());
    return QStringLiteral("the port failed (%1)").arg(portError);
}
