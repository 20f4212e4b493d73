#pragma once

// The running console: the window model, the platform it runs on, and the
// reply parsers in the order in which every received chunk passes them.

#include "console/form.h"
#include "link/platform.h"

#include <array>
#include <cstddef>
#include <string>

namespace wc {

struct Console;

// Each parser gets its own copy of the chunk.
using ReplyParser = void (*)(Console&, std::string chunk);

// The fixed order of the reply parsers; a slot whose parser is not installed is skipped.
enum class ParserSlot : std::size_t {
    status,
    io,
    ip,
    ip_ack,
    fav,
    picture,
    picture_reset,
    osd_reset,
    wall,
    bezel,
    bezel_ack,
    count
};

struct Console final : PlatformEvents {
    explicit Console(Platform& platform);
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;
    ~Console() override;

    Form1 f;
    Platform& platform;
    std::array<ReplyParser, static_cast<std::size_t>(ParserSlot::count)> parsers{};

    void install(ParserSlot slot, ReplyParser parser) { parsers[static_cast<std::size_t>(slot)] = parser; }

    void data_arrival(int socket) override;
    void timer_fired(TimerId timer) override;

    MsgAnswer message(std::string_view text, MsgIcon icon, MsgButtons buttons = MsgButtons::ok) {
        return platform.message_box(text, icon, buttons);
    }
};

} // namespace wc
