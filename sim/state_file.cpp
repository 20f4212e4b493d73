#include "sim/state_file.h"

#include <algorithm>
#include <fstream>
#include <system_error>

namespace sim {
namespace {

class Writer {
public:
    void operator()(std::string_view key, std::string_view value) {
        m_text.append(key).append("=").append(value).append("\n");
    }
    void operator()(std::string_view key, int value) { (*this)(key, std::to_string(value)); }

    void wall(const std::string& prefix, const WallSettings& wall) {
        (*this)(prefix + "rows", wall.rows);
        (*this)(prefix + "columns", wall.columns);
        (*this)(prefix + "hot_key", wall.hot_key);
        (*this)(prefix + "bezel_switch", wall.bezel_switch);
        (*this)(prefix + "bezel_h", wall.bezel_h);
        (*this)(prefix + "bezel_v", wall.bezel_v);
    }

    void outputs_of(const std::string& name, const std::array<int, outputs>& values) {
        for (std::size_t i = 0; i < values.size(); ++i) {
            (*this)(name + "." + std::to_string(i + 1), values[i]);
        }
    }

    std::string text() && { return std::move(m_text); }

private:
    std::string m_text;
};

} // namespace

std::string format_state(const Box& box) {
    const BoxState& state = box.state();
    Writer line;
    line("power", state.power);
    line("id", state.id);
    line("firmware", state.firmware);
    line.wall("", state.wall);
    for (std::size_t slot = 0; slot < state.favourites.size(); ++slot) {
        line.wall("fav" + std::to_string(slot + 1) + ".", state.favourites[slot]);
    }
    line.outputs_of("brightness", state.brightness);
    line.outputs_of("contrast", state.contrast);
    line.outputs_of("saturation", state.saturation);
    line.outputs_of("hue", state.hue);
    line("resolution", state.resolution);
    line("osd_display", state.osd_display);
    line("osd_timeout", state.osd_timeout);
    line("osd_h", state.osd_h);
    line("osd_v", state.osd_v);
    line("osd_gain", state.osd_gain);
    line("mute", state.mute);
    line("ip_mode", state.ip_mode);
    line("ip_address", state.ip_address);
    line("net_mask", state.net_mask);
    line("gateway", state.gateway);
    line("mac", state.mac);
    line("last_command", box.last_command());
    for (const auto& [word, count] : box.received()) {
        line("count." + word, count);
    }
    return std::move(line).text();
}

std::map<std::string, std::string, std::less<>> parse_state(std::string_view text) {
    std::map<std::string, std::string, std::less<>> values;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = text.substr(0, end);
        if (const std::size_t eq = line.find('='); eq != std::string_view::npos) {
            values[std::string(line.substr(0, eq))] = std::string(line.substr(eq + 1));
        }
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return values;
}

std::string state_file_name(std::string_view address, unsigned port) {
    return std::string(address) + "_" + std::to_string(port) + ".state";
}

bool write_atomically(const std::filesystem::path& path, std::string_view text) {
    std::filesystem::path temporary = path;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        if (!out.flush()) {
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    return !error;
}

} // namespace sim
