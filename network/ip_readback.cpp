#include "console/link.h"
#include "link/protocol.h"
#include "link/settings.h"
#include "network/network.h"

namespace wc {

namespace {

constexpr const Setting& address_type = named_setting("address-type");
constexpr const Setting& addresses = named_setting("ip"); // the mask and the gateway come with it

// Four fields of the addresses reply, shown as the box wrote them.
std::string address_field(const Reply& reply, std::size_t first_octet) {
    std::string text;
    for (std::size_t k = first_octet; k < first_octet + 4; ++k) {
        if (k != first_octet) {
            text += '.';
        }
        text += reply.field(k);
    }
    return text;
}

} // namespace

Task<> ip_readback(Console& c) {
    Form1& f = c.f;
    const bool linked = co_await check_link(c);
    if (!linked) {
        co_return;
    }
    const Exchange read(c, f.ipget_step, 1);
    send_one(c, address_type.read);
    co_await wait_reply(c, f.ipget_step, 2);
    f.txt_ip.set_text({});
    f.txt_net.set_text({});
    f.txt_gate.set_text({});
    send_one(c, addresses.read);
    co_await wait_reply(c, f.ipget_step, 3);
}

void parse_ip_reply(Console& c, const Reply& reply) {
    Form1& f = c.f;
    if (reply.key() == address_type.key && f.ipget_step == 1) {
        // A type the list does not have keeps the shown one; the read goes on
        // so that it never waits for an answer already given.
        if (reply.value() < f.cbo_ip_type.list_count()) {
            f.cbo_ip_type.set_list_index(reply.value());
        }
        f.ipget_step = 2;
    } else if (reply.key() == addresses.key && f.ipget_step == 2) {
        f.txt_ip.set_text(address_field(reply, 0));
        f.txt_net.set_text(address_field(reply, 4));
        f.txt_gate.set_text(address_field(reply, 8));
        f.ipget_step = 3;
    }
}

} // namespace wc
