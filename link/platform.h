#pragma once

// What the console needs of the machine it runs on, and nothing more: the box
// sockets, two one-shot timers, modal messages, the scanner process, text
// files beside the executable and the PC's address. Whatever takes time ends
// with an event that the platform reports from its own event loop, never from
// inside a call of the console's. The Qt platform implements it for the real
// window; tests use a scripted one.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wc {

// The socket table has this many slots, so a console lists ten boxes at most.
inline constexpr int socket_count = 10;

// A box socket's state; the handlers only ever ask whether it is connected.
enum class SocketState { closed, resolving, connecting, connected, closing, error };

enum class TimerId { connect_timeout = 1, relink_delay = 2 };
enum class MsgIcon { none, critical, exclamation, information, question };
enum class MsgButtons { ok, yes_no };
enum class MsgAnswer { ok, yes, no };

// The platform reports what happens through this sink, on the window's thread.
class PlatformEvents {
public:
    virtual ~PlatformEvents() = default;
    virtual void data_arrival(int socket) = 0;
    virtual void timer_fired(TimerId timer) = 0;
    // The socket connected, failed or closed: its state is another now.
    virtual void link_changed(int socket) = 0;
    virtual void scanner_ended() = 0;
    // The operator answered message box `id`.
    virtual void message_answered(int id, MsgAnswer answer) = 0;
};

class Platform {
public:
    virtual ~Platform() = default;

    void attach(PlatformEvents* events) { m_events = events; }

    // The socket table: sockets 0 to socket_count - 1, one per listed box.
    virtual void socket_close(int socket) = 0;
    // Returns at once; the outcome shows later in socket_state.
    virtual void socket_connect(int socket, const std::string& host, int port) = 0;
    virtual SocketState socket_state(int socket) const = 0;
    // Hands the whole text to the socket; dropped when it is not connected.
    virtual void socket_send(int socket, std::string_view bytes) = 0;
    // Everything received and not read yet.
    virtual std::string socket_read(int socket) = 0;
    // The PC's own IPv4 address as dotted text.
    virtual std::string local_ip() = 0;

    // One-shot timers: fire once, interval_ms after the start, unless stopped.
    virtual void timer_start(TimerId timer, int interval_ms) = 0;
    virtual void timer_stop(TimerId timer) = 0;

    // Shows a modal message box and returns; message_answered(id) follows once
    // the operator has answered. A platform that can show none (the window is
    // closing) answers at once, without a Yes.
    virtual void message_box(int id, std::string_view text, MsgIcon icon, MsgButtons buttons) = 0;

    // The scanner program in the application directory; false when it cannot
    // be started. scanner_ended() follows once it has ended.
    virtual bool start_scanner(std::string_view file_name) = 0;
    virtual bool scanner_running() = 0;

    // The lines of a text file in the application directory, without their
    // line ends; nothing when the file cannot be read.
    virtual std::optional<std::vector<std::string>> read_lines(std::string_view file_name) = 0;

protected:
    PlatformEvents* events() const { return m_events; }

private:
    PlatformEvents* m_events = nullptr;
};

} // namespace wc
