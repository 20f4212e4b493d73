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
        button->on_click = c.event([&c, slot = slot] { btn_save_Click(c, slot); });
    }
    for (auto& [slot, button] : f.btn_recall) {
        button->on_click = c.event([&c, slot = slot] { btn_recall_Click(c, slot); });
    }
}

void btn_save_Click(Console& c, int slot) {
    if (!check_link(c)) {
        return;
    }
    send_connected(c, action_text(save, std::array{slot}));
}

void btn_recall_Click(Console& c, int slot) {
    Form1& f = c.f;
    if (!read_may_start(c)) {
        return;
    }
    f.ProgressBar1.set_value(0);
    f.ProgressBar1.set_visible(true);
    lock_panels(c);
    f.recall_step = 1;
    send_connected(c, action_text(recall, std::array{slot}));
    // Only the selected box is read, so its answer ends the wait for all of them.
    wait_reply(c, f.recall_step, 2);
    f.recall_step = 0;
    // Disconnect (or a newer Connect) ended the wait: there is no box to read
    // the bezel from, and offline the window must end in the offline look, not
    // with pages that only fail.
    const bool completed = !link_lost(c);
    if (completed) {
        // The recall changed the bezel; the window shows what the selected box now holds.
        bezel_readback(c);
        f.ProgressBar1.set_value(100);
        c.message("Recall completed !", MsgIcon::none);
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
