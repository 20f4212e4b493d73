#include "rig.h"

#include "console/link.h"
#include "console/look.h"
#include "console/shell.h"

namespace wc::test {

Rig::Rig(std::initializer_list<Install> features) {
    install_shell(c);
    for (Install install : features) {
        install(c);
    }
    Form_Load(c);
}

void Rig::list_boxes(int count) {
    f.cbo_ipaddr.clear();
    f.cbo_model.clear();
    f.ip_list.assign(static_cast<std::size_t>(count) + 1, "");
    for (int k = 0; k < count; ++k) {
        f.cbo_ipaddr.add_item(std::string("00:11:22:33:44:").append(std::to_string(10 + k)));
        f.ip_list[static_cast<std::size_t>(k)] = address(k);
        f.cbo_model.add_item(std::string(" ").append(std::to_string(k)));
    }
    f.con_interface.set_enabled(true);
}

void Rig::online(int count, Responder respond) {
    list_boxes(count);
    script_box(0, std::move(respond));
    go_online(0);
}

void Rig::finish() {
    p.run_while([this] { return c.running() > 0; });
    EXPECT_EQ(c.running(), 0u) << "a handler waits with nothing left to happen";
}

Rig::Outcome Rig::meanwhile(const std::function<void()>& first, std::int64_t then_ms,
                            const std::function<void()>& then, std::int64_t disconnect_ms) {
    p.clear_records();
    const std::int64_t start = p.now();
    const int run = ++m_meanwhile;
    p.at(then_ms, then);
    p.at(disconnect_ms, [this, run] {
        if (run == m_meanwhile && c.running() > 0) {
            f.btn_discon.user_click();
        }
    });
    first();
    finish();
    return {p.lines(0), p.message_texts(), p.now() - start};
}

void Rig::go_online(int selected) {
    // Chosen while offline, as before a Connect: choosing a box while online switches boxes.
    go_offline(c);
    f.cbo_ipaddr.set_list_index(selected);
    for (int k = 0; k < f.cbo_ipaddr.list_count(); ++k) {
        if (!p.has_box(address(k))) {
            script_box(k, {});
        }
        open_link(c, k);
    }
    p.run_until_idle();
    show_online(f);
    p.clear_records();
}

} // namespace wc::test
