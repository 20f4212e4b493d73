#pragma once

// Start-up, page selection and the panel lock of the console window.

#include "console/console.h"

namespace wc {

// Binds the page buttons and Disconnect to their handlers.
void install_shell(Console& c);

void Form_Load(Console& c);
void show_page(Console& c, int page);
void lock_panels(Console& c);
void unlock_panels(Console& c);

} // namespace wc
