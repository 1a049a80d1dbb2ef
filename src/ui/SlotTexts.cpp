#include "SlotTexts.h"

#include "Equipment.h"
#include "TypeNames.h"

using namespace tidelex;

namespace
{

QString portTip(const QString &name, int number, const QString &cls, const QString &position,
                bool active)
{
    QString text = QStringLiteral("%1 (%2)\n%3, %4").arg(name, QString::number(number), cls, position);
    if (!active)
        text += QStringLiteral("\nNot in use");
    return text;
}

} // namespace

QString slotPictureText()
{
    return QStringLiteral("Installed boards for this configuration.\n"
                          "Tidelex will need to match this for the configuration to work.");
}

QString boardTypeWords(int boardType)
{
    switch (boardType) {
    case BoardProcessor:
        return QStringLiteral("Processor");
    case BoardTone8:
        return QStringLiteral("Tone 8 channel");
    case BoardTone16:
        return QStringLiteral("Tone 16 Channel");
    case BoardSubscriber:
        return QStringLiteral("Subscriber");
    case BoardTieLine:
        return QStringLiteral("Tie Line");
    case BoardRinging:
        return QStringLiteral("Ringing Module");
    case BoardEmpty:
        return QStringLiteral("Empty");
    default:
        return QString();
    }
}

QString slotBoardTip(int slot, int boardType)
{
    return boardTypeWords(boardType) + QLatin1Char('\n') + slotTitle(slot);
}

int lampSlot(int c)
{
    return c / ExtsPerBoard + FirstLineSlot;
}

int tieLineOfLamp(int c)
{
    const int port = c % ExtsPerBoard;
    return port < TiesPerBoard ? c / ExtsPerBoard * TiesPerBoard + port : -1;
}

QString lampKey(const Configuration &config, int c)
{
    if (c < 0 || c >= MaxExtensions)
        return QString();
    switch (config.SysConfig.Slots[lampSlot(c)]) {
    case BoardSubscriber:
        return extensionKey(c);
    case BoardTieLine:
        return tieLineOfLamp(c) >= 0 ? tieLineKey(tieLineOfLamp(c)) : QString();
    default:
        return QString();
    }
}

QString extensionTip(const Configuration &config, int i)
{
    const ExtRecord &ext = config.Extensions[i];
    return portTip(ext.Name, ext.ExtNum, className(config.ExtClasses, ext.Class),
                   extensionPosition(i), ext.Active);
}

QString tieLineTip(const Configuration &config, int t)
{
    const TieRecord &tie = config.TieLines[t];
    return portTip(tie.Name, tie.DirNum, className(config.TieClasses, tie.Class),
                   tieLinePosition(t), tie.Active);
}

QString slotPictureTip(const Configuration &config, int slot, int lamp)
{
    const QString key = lampKey(config, lamp);
    if (key.startsWith(QLatin1Char('E')))
        return extensionTip(config, lamp);
    if (key.startsWith(QLatin1Char('T')))
        return tieLineTip(config, tieLineOfLamp(lamp));
    if (slot >= 0 && slot < SlotCount)
        return slotBoardTip(slot, config.SysConfig.Slots[slot]);
    return slotPictureText();
}

QString installedSlotTip(const Configuration &config, const InstalledBoardList &installed,
                         int slot)
{
    if (slot < 0 || slot >= SlotCount)
        return QStringLiteral("Boards installed in the exchange.");
    const int configured = config.SysConfig.Slots[slot];
    QString text = slotBoardTip(slot, installed[slot]);
    if (configured != installed[slot] && slot >= FirstLineSlot && slot <= LastLineSlot)
        text += QStringLiteral("\nConfiguration: ") + boardTypeWords(configured);
    return text;
}
