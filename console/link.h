#pragma once

// The console's connections to its boxes: one socket per listed box, the
// selected box as the partner of every exchange, and the waits that yield to
// the event loop until a reply parser moves a step counter.

#include "console/console.h"

#include <cstdint>
#include <string_view>

namespace wc {

// (Re)open the connection of box i to ip_list(i), port 23.
void open_link(Console& c, int i);

// Wait until the selected box is connected, Timer1 runs out ("Connected
// error!" is said then), or the console goes offline or a newer Connect or
// box switch takes over (nothing is said then, and false is returned: the
// caller has nothing more to do).
bool connect_wait(Console& c);

// What a handler does between "Ethernet is disconnected !" and go_offline.
enum class OnLinkDown { go_offline, clear_model_then_go_offline };

// Whether the selected box is connected; when it is not, says so, goes
// offline and the caller abandons its action.
bool check_link(Console& c, OnLinkDown on_down = OnLinkDown::go_offline);

// Whether a read-back (a Refresh, a Recall with its bezel read, Get IP, the
// I/O or picture Refresh) may start: as check_link while the link is down.
// While another exchange waits on the link, the read is refused without a
// word, as a bezel Send is while a status read runs: nested in that wait it
// would take the answers the exchange awaits, or hand the step it shares back
// to 0 when done, and that wait would never end. The exchange that waits ends
// as it would have; the operator reads once it is over, or ends a silent
// box's wait by Disconnect.
bool read_may_start(Console& c);

// The selected box's socket state (closed when nothing is selected).
SocketState selected_state(const Console& c);

// Socket i's box; the line is dropped when there is no such socket.
void send_to(Console& c, int i, std::string_view cmd);
void send_one(Console& c, std::string_view cmd);
void send_all(Console& c, std::string_view cmd);
// send_all when the row's "ALL IP" box is ticked, send_one otherwise.
void send_chosen(Console& c, bool all_ip, std::string_view cmd);

// Whether the running handler's link is gone: the console went offline, or a
// newer Connect or box switch took over.
bool link_lost(const Console& c);
// A newer Connect or box switch took over while the console stayed online.
bool taken_over(const Console& c);

// Yields until done() holds or the running handler's link is gone. The test
// comes before each yield: on a dead link nothing may ever wake a yield.
template <class Done> void wait_on_link(Console& c, Done done) {
    const Console::ExchangeWait waiting(c);
    while (!done() && !link_lost(c)) {
        c.platform.yield();
    }
}

// Yields until flag has reached value or the link is gone. A step only moves
// forward within its exchange, and every reply of one arrival is parsed before
// the wait looks again: the next reply of the same chunk may already have moved
// the step past value ("IPMD001" joined with "RELI").
void wait_reply(Console& c, const std::uint8_t& flag, std::uint8_t value);

void go_offline(Console& c);
void btn_discon_Click(Console& c);
void Timer1_Timer(Console& c);
void Timer2_Timer(Console& c);

// The receive path: read the selected box, show the chunk, run every parser.
void wsk_client_DataArrival(Console& c, int index);

// The number of listed boxes that have a socket.
int listed_boxes(const Console& c);

} // namespace wc
