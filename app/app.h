#pragma once

#include "console/console.h"

namespace wc {

// Binds every control of the window to its handler and puts every reply
// parser in its place. Form_Load then brings the window to its start-up state.
void install_all(Console& c);

} // namespace wc
