#pragma once

// The running console: the window model, the platform it runs on, and the
// reply parsers in the order in which every received chunk passes them.

#include "form/form.h"
#include "link/line_assembler.h"
#include "link/platform.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

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
    // What each socket has received of a reply whose line end is still to come.
    std::array<LineAssembler, socket_count> reply_lines;

    void install(ParserSlot slot, ReplyParser parser) { parsers[static_cast<std::size_t>(slot)] = parser; }

    void data_arrival(int socket) override;
    void timer_fired(TimerId timer) override;

    MsgAnswer message(std::string_view text, MsgIcon icon, MsgButtons buttons = MsgButtons::ok) {
        return platform.message_box(text, icon, buttons);
    }

    // Links come in generations: going offline, Connect and a box switch each
    // start a new one. Every operator event runs in a frame that remembers the
    // generation it works on, so a handler whose wait was interrupted by a newer
    // Connect, a switch or going offline stops waiting and sends nothing more,
    // instead of waiting on a link that is gone or now belongs to another handler.
    template <class Handler> auto event(Handler handler) {
        return [this, handler](auto... args) {
            const EventFrame frame(*this);
            handler(args...);
        };
    }
    // A new generation that the running event takes as its own (Connect, a switch).
    void new_link();
    // A new generation that no running event has (going offline).
    void end_link() { ++m_link; }
    // The running event's generation; outside every event, the current one.
    std::uint64_t event_link() const { return m_event_links.empty() ? m_link : m_event_links.back(); }
    bool superseded(std::uint64_t link) const { return link != m_link; }

private:
    struct EventFrame {
        explicit EventFrame(Console& c) : console(c) { c.m_event_links.push_back(c.m_link); }
        ~EventFrame() { console.m_event_links.pop_back(); }
        EventFrame(const EventFrame&) = delete;
        EventFrame& operator=(const EventFrame&) = delete;
        Console& console;
    };

    std::uint64_t m_link = 0;
    std::vector<std::uint64_t> m_event_links;
};

} // namespace wc
