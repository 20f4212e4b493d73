#include "link/traffic_log.h"

#include <cstdio>
#include <ctime>

namespace wc {

std::string visible_bytes(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        switch (c) {
        case '\r':
            text += "\\r";
            break;
        case '\n':
            text += "\\n";
            break;
        case '\t':
            text += "\\t";
            break;
        case '\\':
            text += "\\\\";
            break;
        default:
            if (c >= ' ' && c <= '~') {
                text += c;
            } else {
                char escape[5];
                std::snprintf(escape, sizeof escape, "\\x%02X",
                              static_cast<unsigned>(static_cast<unsigned char>(c)));
                text += escape;
            }
        }
    }
    return text;
}

std::chrono::milliseconds local_time_of_day(std::chrono::system_clock::time_point at) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(at);
    std::tm local{};
    localtime_r(&seconds, &local);
    const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(at.time_since_epoch()) % 1000;
    return std::chrono::hours(local.tm_hour) + std::chrono::minutes(local.tm_min) +
           std::chrono::seconds(local.tm_sec) +
           (millis.count() < 0 ? millis + std::chrono::seconds(1) : millis);
}

std::string traffic_line(std::chrono::milliseconds time_of_day, std::string_view peer, Traffic direction,
                         std::string_view bytes) {
    const auto ms = time_of_day.count();
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%02d:%02d:%02d.%03d", static_cast<int>(ms / 3600000 % 24),
                  static_cast<int>(ms / 60000 % 60), static_cast<int>(ms / 1000 % 60),
                  static_cast<int>(ms % 1000));
    return std::string(stamp) + " " + std::string(peer) + (direction == Traffic::sent ? " > " : " < ") +
           visible_bytes(bytes);
}

} // namespace wc
