#pragma once

// The running console: the window model, the platform it runs on, and the
// reply parsers in the order in which every received chunk passes them.

#include "form/form.h"
#include "link/platform.h"
#include "link/reply_reader.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace wc {

struct Console;

// Every parser gets every whole reply, and none can change what the next one gets.
using ReplyParser = void (*)(Console&, const Reply& reply);

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
    // The replies of each box, read from whatever it sends around them.
    std::array<ReplyReader, socket_count> replies;

    void install(ParserSlot slot, ReplyParser parser) { parsers[static_cast<std::size_t>(slot)] = parser; }
    // One whole reply through every installed parser, in slot order.
    void take_reply(const Reply& reply);

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
    // The frame also remembers whether a reply parser raised the event by
    // setting a control (a list or an option shows what the box answered),
    // which raises the same Click as the operator's choice does.
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
    std::uint64_t event_link() const { return m_frames.empty() ? m_link : m_frames.back().link; }
    bool superseded(std::uint64_t link) const { return link != m_link; }
    // The running event shows the box's answer rather than an operator's
    // choice: a value the box gave is not sent back to it. Events that run
    // while such an event yields are the operator's again.
    bool raised_by_reply() const { return !m_frames.empty() && m_frames.back().by_reply; }

    // Held by a wait of an exchange for as long as it waits, with the
    // generation of the link it waits on (see wait_on_link).
    class ExchangeWait {
    public:
        explicit ExchangeWait(Console& c) : m_console(c) { c.m_waits.push_back(c.event_link()); }
        ~ExchangeWait() { m_console.m_waits.pop_back(); }
        ExchangeWait(const ExchangeWait&) = delete;
        ExchangeWait& operator=(const ExchangeWait&) = delete;

    private:
        Console& m_console;
    };
    // Whether an exchange waits on the current link. Waits end in the reverse
    // order of their start, as the events that run in them nest; the handler
    // that asks is not waiting while it asks, so any such wait is another's.
    bool exchange_waiting() const;

private:
    // What an event frame remembers.
    struct EventState {
        std::uint64_t link;
        bool by_reply;
    };
    struct EventFrame {
        explicit EventFrame(Console& c) : console(c), taking_reply(c.m_taking_reply) {
            c.m_frames.push_back({c.m_link, c.m_taking_reply});
            c.m_taking_reply = false;
        }
        ~EventFrame() {
            console.m_frames.pop_back();
            console.m_taking_reply = taking_reply;
        }
        EventFrame(const EventFrame&) = delete;
        EventFrame& operator=(const EventFrame&) = delete;
        Console& console;
        bool taking_reply;
    };

    std::uint64_t m_link = 0;
    std::vector<EventState> m_frames;
    bool m_taking_reply = false;        // a reply parser is running
    std::vector<std::uint64_t> m_waits; // the link of each running wait, the newest last
};

} // namespace wc
