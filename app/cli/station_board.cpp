#include "station_board.h"

#include <unistd.h>

#include <algorithm>

#include "printable.h"

namespace cli {

StationBoard::StationBoard(FILE* out, std::vector<std::string> names)
    : out_(out), tty_(::isatty(fileno(out)) != 0), names_(std::move(names)), live_(names_.size(), "waiting") {}

std::string StationBoard::LiveText(const StationProgress& p, std::chrono::steady_clock::duration elapsed) {
    if (!p.hasBar || p.max <= 0) return p.text.empty() ? "starting" : p.text;
    const int64_t position = std::clamp<int64_t>(p.position, 0, p.max);
    std::string text = std::to_string(position * 100 / p.max) + "%  " + p.text;
    // The time left at the pace so far: the pauses between segments count too.
    if (position > 0 && position < p.max) {
        const int64_t elapsedMs = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
        const int64_t leftS = (elapsedMs * (p.max - position) / position + 999) / 1000;
        char left[32];
        std::snprintf(left, sizeof left, "  %lld:%02lld left", static_cast<long long>(leftS / 60),
                      static_cast<long long>(leftS % 60));
        text += left;
    }
    return text;
}

void StationBoard::Update(size_t station, const std::vector<std::string>& lines, const StationProgress& p,
                          std::chrono::steady_clock::duration elapsed) {
    if (station >= names_.size()) return;
    if (!tty_) {
        for (const auto& l : lines) std::fprintf(out_, "%s: %s\n", names_[station].c_str(), Printable(l).c_str());
        std::fflush(out_);
        return;
    }
    live_[station] = LiveText(p, elapsed);
    Redraw();
}

void StationBoard::Redraw() {
    if (drawn_) std::fprintf(out_, "\033[%zuA", names_.size());
    size_t width = 0;
    for (const auto& n : names_) width = std::max(width, n.size());
    for (size_t i = 0; i < names_.size(); ++i)
        std::fprintf(out_, "\r\033[K%-*s  %s\n", static_cast<int>(width), names_[i].c_str(),
                     Printable(live_[i]).c_str());
    std::fflush(out_);
    drawn_ = true;
}

void StationBoard::Finish() {
    if (tty_ && !drawn_) Redraw();
    drawn_ = false;
}

}  // namespace cli
