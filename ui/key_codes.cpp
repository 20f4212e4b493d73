#include "ui/key_codes.h"

#include <Qt>
#include <array>
#include <utility>

namespace wc {

std::optional<int> console_key(int qt_key) {
    // Digits, letters and the space bar carry the same code in both worlds.
    if ((qt_key >= Qt::Key_0 && qt_key <= Qt::Key_9) || (qt_key >= Qt::Key_A && qt_key <= Qt::Key_Z) ||
        qt_key == Qt::Key_Space) {
        return qt_key;
    }
    if (qt_key >= Qt::Key_F1 && qt_key <= Qt::Key_F12) {
        return 112 + (qt_key - Qt::Key_F1);
    }
    static constexpr std::array<std::pair<int, int>, 14> table{{
        {Qt::Key_Return, 13},
        {Qt::Key_Enter, 13},
        {Qt::Key_Backspace, 8},
        {Qt::Key_Tab, 9},
        {Qt::Key_Escape, 27},
        {Qt::Key_PageUp, 33},
        {Qt::Key_PageDown, 34},
        {Qt::Key_End, 35},
        {Qt::Key_Home, 36},
        {Qt::Key_Left, 37},
        {Qt::Key_Up, 38},
        {Qt::Key_Right, 39},
        {Qt::Key_Down, 40},
        {Qt::Key_Delete, 46},
    }};
    for (auto [qt, code] : table) {
        if (qt == qt_key) {
            return code;
        }
    }
    return std::nullopt;
}

} // namespace wc
