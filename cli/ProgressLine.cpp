#include "ProgressLine.h"

#include <cmath>
#include <cstdio>

namespace pexa::cli {

ProgressLine::ProgressLine(std::size_t total, bool enabled)
    : m_total(total), m_enabled(enabled && total > 1), m_start(std::chrono::steady_clock::now())
{
}

void ProgressLine::fileDone()
{
    ++m_done;
    const auto now = std::chrono::steady_clock::now();
    // Redrawn a few times a second at most: a fast batch would otherwise flood the terminal.
    if (!m_enabled || (m_shown && now - m_lastDrawn < redrawInterval && m_done < m_total))
        return;
    const std::chrono::duration<double> elapsed = now - m_start;
    std::fprintf(stderr, "\r\033[K%s", describe(m_done, m_total, elapsed.count()).c_str());
    std::fflush(stderr);
    m_shown = true;
    m_lastDrawn = now;
}

void ProgressLine::clear()
{
    if (!m_shown)
        return;
    std::fputs("\r\033[K", stderr);
    m_shown = false;
}

std::string ProgressLine::describe(std::size_t done, std::size_t total, double elapsedSeconds)
{
    std::string line = std::to_string(done) + "/" + std::to_string(total) + " files";
    if (done == 0 || elapsedSeconds <= 0)
        return line;
    const double rate = static_cast<double>(done) / elapsedSeconds;
    const auto secondsLeft = static_cast<long long>(std::ceil((total - done) / rate));
    char figures[64];
    std::snprintf(figures, sizeof figures, ", %.1f files/s, about %lld s left", rate, secondsLeft);
    return line + figures;
}

} // namespace pexa::cli
