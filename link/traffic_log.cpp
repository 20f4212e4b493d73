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

LocalTime local_time(std::chrono::system_clock::time_point at) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(at);
    std::tm local{};
    localtime_r(&seconds, &local);
    const auto since_epoch = std::chrono::floor<std::chrono::milliseconds>(at).time_since_epoch();
    return LocalTime(since_epoch + std::chrono::seconds(local.tm_gmtoff));
}

std::string timestamp(LocalTime at) {
    using namespace std::chrono;
    const local_days day = floor<days>(at);
    const year_month_day date(day);
    const hh_mm_ss time(at - day);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03d", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()), static_cast<int>(time.subseconds().count()));
    return text;
}

std::string traffic_line(LocalTime at, std::string_view peer, Traffic direction, std::string_view bytes) {
    return timestamp(at) + " " + std::string(peer) + (direction == Traffic::sent ? " > " : " < ") +
           visible_bytes(bytes);
}

} // namespace wc
