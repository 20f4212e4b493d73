#include "console/app.h"

#include "console/shell.h"
#include "system/status.h"

namespace wc {

void install_all(Console& c) {
    install_shell(c);
    install_status(c);
}

} // namespace wc
