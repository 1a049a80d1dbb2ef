#include "LinkOperation.h"

#include "SerialLine.h"
#include "SerialLink.h"

QString noReplyMessage()
{
    return QStringLiteral("No reply from the exchange");
}

QString notConnectedMessage()
{
    return QStringLiteral("Not connected to a tidelex");
}

QString damagedRepliesMessage()
{
    return QStringLiteral("The replies from the exchange keep arriving damaged.");
}

QString lineLostMessage(const QString &reason)
{
    // The reason says what happened: unplugged, or another program reading the port.
    QString text = QStringLiteral("The line to the Programming Module was lost");
    if (!reason.isEmpty())
        text += QStringLiteral(": ") + reason;
    return text.endsWith(u'.') ? text : text + u'.';
}

LinkOperation::LinkOperation(SerialLink &link, QObject *parent) : QObject(parent), m_link(link)
{
    connect(&m_link, &SerialLink::noReply, this, [this] {
        if (m_running)
            fail(noReplyMessage());
    });
    connect(&m_link, &SerialLink::repliesDamaged, this, [this] {
        if (m_running)
            fail(damagedRepliesMessage());
    });
    connect(&m_link, &SerialLink::lineLost, this, [this](const QString &reason) {
        if (!m_running)
            return;
        m_lineWentAway = true;
        fail(lineLostMessage(reason));
    });
    // Waiting on a closed port would only end in silence; say why at once.
    connect(&m_link, &SerialLink::notConnected, this, [this] {
        if (m_running)
            fail(notConnectedMessage());
    });
}

void LinkOperation::countRetriesOf(int owner)
{
    connect(&m_link, &SerialLink::retrying, this, [this, owner](int from, int id, int attempt) {
        if (!m_running || from != owner)
            return;
        ++m_retries;
        emit retrying(retryText(id, attempt), m_retries);
    });
}

QString LinkOperation::retryText(int, int attempt) const
{
    return QStringLiteral("No reply: asking the exchange again (retry %1)").arg(attempt);
}

bool LinkOperation::begin()
{
    m_lineWentAway = false;
    m_retries = 0;
    if (!m_link.line()->isOpen()) {
        m_running = true;
        fail(notConnectedMessage());
        return false;
    }
    m_running = true;
    return true;
}

// Ends the running operation once; a failure or a cancel also drops what
// is still queued for it.
bool LinkOperation::end(bool dropQueue)
{
    if (!m_running)
        return false;
    m_running = false;
    if (dropQueue)
        m_link.queueReset();
    m_link.restoreTrace();
    stopped();
    return true;
}

void LinkOperation::succeed()
{
    if (end(false))
        emit finished();
}

void LinkOperation::fail(const QString &message)
{
    const QString text = failureMessage(message);
    if (end(true))
        emit failed(text);
}

void LinkOperation::cancel()
{
    if (end(true))
        emit cancelled();
}
