#include "CProgressThrottle.h"

bool CProgressThrottle::due(int value, int maximum)
{
    if (!m_clock.isValid())
        m_clock.start();
    return dueAt(value, maximum, m_clock.elapsed());
}

bool CProgressThrottle::dueAt(int value, int maximum, qint64 nowMs)
{
    const bool show = !m_started || value < m_value || maximum != m_maximum || value >= maximum ||
                      percent(value, maximum) != percent(m_value, maximum) ||
                      nowMs - m_shownAt >= IntervalMs;
    if (show) {
        m_started = true;
        m_value = value;
        m_maximum = maximum;
        m_shownAt = nowMs;
    }
    return show;
}

int CProgressThrottle::percent(int value, int maximum)
{
    return maximum <= 0 ? 0 : int(qint64(value) * 100 / maximum);
}
