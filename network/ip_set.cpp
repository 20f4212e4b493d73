#include "console/link.h"
#include "link/actions.h"
#include "link/protocol.h"
#include "link/settings.h"
#include "network/network.h"

#include <cstdint>
#include <vector>

namespace wc {

namespace {

constexpr const Setting& address_type = named_setting("address-type");
constexpr const Setting& address = named_setting("ip");
constexpr const Setting& mask = named_setting("mask");
constexpr const Setting& gateway = named_setting("gateway");

void set_address_fields_enabled(Form1& f, bool enabled) {
    for (Control* control :
         std::initializer_list<Control*>{&f.txt_ip, &f.txt_net, &f.txt_gate, &f.btn_ip_set}) {
        control->set_enabled(enabled);
    }
}

// Mode changes are awaited on their own counter: "SIPM 0" on ipset_step (the
// first step of a static write), "SIPM 1" on ipmode_step.
Task<> send_mode(Console& c, bool dhcp) {
    Form1& f = c.f;
    std::uint8_t& step = dhcp ? f.ipmode_step : f.ipset_step;
    const Exchange mode(c, step, 1);
    send_one(c, set_line(address_type, dhcp ? 1 : 0));
    co_await wait_reply(c, step, 2);
}

// A static write shows its progress where Re-Link stands; Re-Link comes back
// however the write ends.
class WriteProgress {
public:
    explicit WriteProgress(Form1& f) : m_f(f) {
        f.ProgressBar2.set_visible(true);
        f.btn_ip_relink.set_visible(false);
    }
    ~WriteProgress() {
        m_f.ProgressBar2.set_visible(false);
        m_f.btn_ip_relink.set_visible(true);
        m_f.ProgressBar2.set_value(0);
    }
    WriteProgress(const WriteProgress&) = delete;
    WriteProgress& operator=(const WriteProgress&) = delete;

private:
    Form1& m_f;
};

struct Write {
    std::string line;
    std::uint8_t ack_step;
    int progress; // after the acknowledgement; -1 leaves the bar
};

// Read when the button is pressed: the addresses go out as typed then.
std::vector<Write> static_writes(const Form1& f) {
    return {{set_line(address_type, 0), 2, 20},
            {set_line(address, f.txt_ip.text()), 3, 50},
            {set_line(mask, f.txt_net.text()), 4, 80},
            {set_line(gateway, f.txt_gate.text()), 5, -1}};
}

Task<> set_static_address(Console& c) {
    Form1& f = c.f;
    const std::vector<Write> writes = static_writes(f);
    const WriteProgress progress(f);
    const Exchange write_exchange(c, f.ipset_step, 1);
    for (const Write& write : writes) {
        send_one(c, write.line);
        co_await wait_reply(c, f.ipset_step, write.ack_step);
        if (write.progress >= 0) {
            f.ProgressBar2.set_value(write.progress);
        }
    }
}

struct Ack {
    std::string_view key;
    std::uint8_t Form1::*step;
    std::uint8_t from;
};

// Tested in this order; the first row whose key and counter match applies.
constexpr Ack acks[] = {{address_type.set_reply, &Form1::ipset_step, 1},
                        {address.set_reply, &Form1::ipset_step, 2},
                        {mask.set_reply, &Form1::ipset_step, 3},
                        {gateway.set_reply, &Form1::ipset_step, 4},
                        {relink_notice, &Form1::ipset_step, 5},
                        {address_type.set_reply, &Form1::ipmode_step, 1},
                        {relink_notice, &Form1::ipmode_step, 2},
                        {named_action("factory-reset").ack, &Form1::factory_step, 1}};

} // namespace

Task<> btn_ip_set_Click(Console& c) {
    const bool linked = co_await check_link(c);
    if (!linked) {
        co_return;
    }
    if (c.f.ip_mode != 1) {
        co_await set_static_address(c);
    } else {
        co_await send_mode(c, true);
    }
}

Task<> cbo_ip_type_Click(Console& c) {
    Form1& f = c.f;
    const bool by_code = c.raised_by_code();
    f.ip_mode = static_cast<std::uint8_t>(f.cbo_ip_type.list_index());
    const bool linked = co_await check_link(c);
    if (!linked) {
        co_return;
    }
    const bool dhcp = f.ip_mode == 1;
    set_address_fields_enabled(f, !dhcp);
    // A type an IPMD answer shows is the box's own: nothing goes back. Told by
    // the event, not by ipget_step: the operator may choose while Get IP waits.
    if (!by_code) {
        co_await send_mode(c, dhcp);
    }
}

void parse_ip_ack(Console& c, const Reply& reply) {
    for (const Ack& ack : acks) {
        std::uint8_t& step = c.f.*ack.step;
        if (reply.key() == ack.key && step == ack.from) {
            step = static_cast<std::uint8_t>(ack.from + 1);
            return;
        }
    }
}

} // namespace wc
