#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>

namespace pexa {

// The longest time the event loop went without handling a 5 ms timer, from construction on.
class StallMeter
{
public:
    StallMeter()
    {
        m_sinceTick.start();
        QObject::connect(&m_ticker, &QTimer::timeout, &m_ticker,
                         [this] { m_longestMs = std::max(m_longestMs, m_sinceTick.restart()); });
        m_ticker.start(5);
    }

    // Counts the gap still open, so a stall that ends with the measurement is not missed.
    qint64 longestMs() const { return std::max(m_longestMs, m_sinceTick.elapsed()); }

private:
    QTimer m_ticker;
    QElapsedTimer m_sinceTick;
    qint64 m_longestMs = 0;
};

} // namespace pexa
