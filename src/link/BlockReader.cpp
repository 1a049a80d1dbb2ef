#include "BlockReader.h"

#include "ExchangeMap.h"
#include "SerialLink.h"

QString unreadableBlockMessage(int block)
{
    return QStringLiteral("The exchange sent block %1 in a form that cannot be read.")
        .arg(block + 1);
}

QString disagreeingReadingsMessage(int block)
{
    return QStringLiteral("Block %1 read differently each of %2 times: the line to the exchange "
                          "is too poor to trust what it delivers.")
        .arg(block + 1)
        .arg(BlockReader::MaxReadings);
}

BlockReader::BlockReader(SerialLink &link, int owner, int idBase)
    : m_link(link), m_owner(owner), m_idBase(idBase)
{
}

void BlockReader::request(int block)
{
    m_block = block;
    m_readings.clear();
    m_accepted.clear();
    ask();
}

void BlockReader::ask()
{
    m_link.queueReadBlock(m_owner, m_idBase + m_block, ExchMap::blockAddress(m_block));
}

BlockReader::Outcome BlockReader::take(int id, const QByteArray &text)
{
    if (m_block < 0 || id != m_idBase + m_block || !m_accepted.isEmpty())
        return Outcome::NotMine;
    const QByteArray reading =
        QByteArray::fromHex(text.left(ExchMap::ByteDigits * ExchMap::BlockSize));
    if (reading.size() != ExchMap::BlockSize)
        return Outcome::Unreadable;
    if (!m_verify || m_readings.contains(reading)) {
        m_accepted = reading;
        return Outcome::Done;
    }
    m_readings.append(reading);
    if (m_readings.size() >= MaxReadings)
        return Outcome::Disagree;
    ask();
    return Outcome::NeedMore;
}
