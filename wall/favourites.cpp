#include "wall/favourites.h"

#include "console/link.h"
#include "console/shell.h"
#include "link/actions.h"
#include "link/protocol.h"
#include "link/replies.h"
#include "wall/bezel.h"

#include <array>
#include <string>

namespace wc {

namespace {

constexpr const Action& save = named_action("favourite-save");
constexpr const Action& recall = named_action("favourite-recall");

// Store and recall go to the boxes that are connected now; the others are
// left out rather than handed a line their closed socket would drop.
void send_connected(Console& c, const std::string& cmd) {
    for (int i = 0, n = listed_boxes(c); i < n; ++i) {
        if (c.platform.socket_state(i) == SocketState::connected) {
            send_to(c, i, cmd);
        }
    }
}

bool is_slot(int value) {
    return value >= recall.lo && value <= recall.hi;
}

} // namespace

void install_favourites(Console& c) {
    Form1& f = c.f;
    c.install(ParserSlot::fav, parse_fav_reply);
    for (auto& [slot, button] : f.btn_save) {
        button->on_click = c.handler([&c, slot = slot] { return btn_save_Click(c, slot); });
    }
    for (auto& [slot, button] : f.btn_recall) {
        button->on_click = c.handler([&c, slot = slot] { return btn_recall_Click(c, slot); });
    }
}

Task<> btn_save_Click(Console& c, int slot) {
    const bool linked = co_await check_link(c);
    if (!linked) {
        co_return;
    }
    send_connected(c, action_text(save, std::array{slot}));
}

Task<> btn_recall_Click(Console& c, int slot) {
    Form1& f = c.f;
    const bool linked = co_await check_link(c);
    if (!linked) {
        co_return;
    }
    f.ProgressBar1.set_value(0);
    f.ProgressBar1.set_visible(true);
    lock_panels(c);
    {
        const Exchange recall_exchange(c, f.recall_step, 1);
        send_connected(c, action_text(recall, std::array{slot}));
        // Only the selected box is read, so its answer ends the wait for all of them.
        co_await wait_reply(c, f.recall_step, 2);
    }
    // Disconnect ended the wait: there is no box to read the bezel from, and
    // offline the window must end in the offline look, not with pages that only fail.
    if (!link_lost(c)) {
        // The recall changed the bezel; the window shows what the selected box now holds.
        co_await bezel_readback(c);
        f.ProgressBar1.set_value(100);
        co_await c.message("Recall completed !", MsgIcon::none);
    }
    f.ProgressBar1.set_visible(false);
    unlock_panels(c);
    if (f.discon_flag == 1) {
        go_offline(c);
    }
}

void parse_fav_reply(Console& c, const Reply& reply) {
    Form1& f = c.f;
    if (reply.key() == named_action("layout").ack && f.wall_send_step == 1) {
        f.wall_send_step = 3;
    } else if (reply.key() == recall.ack && is_slot(reply.value()) && f.recall_step == 1) {
        // The slot answered is not compared with the slot recalled.
        f.recall_step = 2;
    }
}

} // namespace wc
