#pragma once

// The one online/offline look of the controls that need a box: what Connect
// turns on and what going offline turns off, written once for both.

#include "form/form.h"

namespace wc {

// Online: every page, the network frame and the box-dependent System Settings
// usable, Connect green. Offline: all of them disabled, Disconnect red, the
// power buttons back to the one that only shows, the title without firmware.
void show_link_look(Form1& f, bool online);

// The online look, as a successful Connect or box switch leaves it.
void show_online(Form1& f);

// A control disabled while a handler needs it so, enabled again however the handler ends.
class Disabled {
public:
    explicit Disabled(Control& control) : m_control(control) { control.set_enabled(false); }
    ~Disabled() { m_control.set_enabled(true); }
    Disabled(const Disabled&) = delete;
    Disabled& operator=(const Disabled&) = delete;

private:
    Control& m_control;
};

} // namespace wc
