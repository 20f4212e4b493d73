#include "network/network.h"

namespace wc {

void install_network(Console& c) {
    Form1& f = c.f;
    c.install(ParserSlot::ip, parse_ip_reply);
    c.install(ParserSlot::ip_ack, parse_ip_ack);
    f.btn_ip_get.on_click = c.handler([&c] { return ip_readback(c); });
    f.btn_ip_set.on_click = c.handler([&c] { return btn_ip_set_Click(c); });
    f.btn_ip_relink.on_click = c.handler([&c] { return btn_ip_relink_Click(c); });
    f.cbo_ip_type.on_click = c.handler([&c] { return cbo_ip_type_Click(c); });
}

} // namespace wc
