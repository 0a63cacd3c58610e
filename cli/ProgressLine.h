#pragma once

#include <chrono>
#include <cstddef>
#include <string>

namespace pexa::cli {

// One status line on standard error, redrawn as files finish: "12/40 files, 3.1 files/s, about 9 s
// left". Draws nothing when disabled (standard error is no terminal, or there is one file).
class ProgressLine
{
public:
    ProgressLine(std::size_t total, bool enabled);

    void fileDone();
    // Removes the line, so that a message can be printed in its place.
    void clear();

    // The line's text after `done` of `total` files in `elapsedSeconds`.
    static std::string describe(std::size_t done, std::size_t total, double elapsedSeconds);

private:
    std::size_t m_total;
    std::size_t m_done = 0;
    bool m_enabled;
    bool m_shown = false;
    std::chrono::steady_clock::time_point m_start;
    std::chrono::steady_clock::time_point m_lastDrawn;
    static constexpr std::chrono::milliseconds redrawInterval{200};
};

} // namespace pexa::cli
