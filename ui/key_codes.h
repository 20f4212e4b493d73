#pragma once

// Qt's keys as the console's key codes (13 for Enter, the handlers' only
// concern; the rest as the classic PC virtual-key codes that the window's
// design knows).

#include <optional>

namespace wc {

// Nothing for a key that has no console code (modifiers alone, media keys).
std::optional<int> console_key(int qt_key);

} // namespace wc
