#include "app/app.h"

#include "app/connect.h"
#include "console/shell.h"
#include "discovery/search.h"
#include "io/io.h"
#include "network/network.h"
#include "picture/readback.h"
#include "picture/settings.h"
#include "system/power.h"
#include "system/status.h"
#include "wall/bezel.h"
#include "wall/favourites.h"
#include "wall/layout.h"

namespace wc {

void install_all(Console& c) {
    install_shell(c);
    install_discovery(c);
    install_connect(c);
    install_network(c);
    install_io(c);
    install_status(c);
    install_power(c);
    install_layout(c);
    install_bezel(c);
    install_favourites(c);
    install_picture_settings(c);
    install_picture_readback(c);
}

} // namespace wc
