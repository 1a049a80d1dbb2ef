#include "LinePacer.h"

#include <algorithm>

void LinePacer::push(const QByteArray &bytes, qint64 nowNs)
{
    qint64 t = std::max(nowNs, m_lineFreeNs);
    for (char c : bytes) {
        t += m_byteNs;
        m_queue.push_back({t, c});
    }
    m_lineFreeNs = t;
}

void LinePacer::pause(qint64 ns, qint64 nowNs)
{
    m_lineFreeNs = std::max(nowNs, m_lineFreeNs) + ns;
}

QByteArray LinePacer::takeDue(qint64 nowNs)
{
    QByteArray out;
    while (!m_queue.empty() && m_queue.front().due <= nowNs) {
        out.append(m_queue.front().byte);
        m_queue.pop_front();
    }
    return out;
}
