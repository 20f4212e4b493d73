#pragma once

// Where each control of the window stands inside its frame, and what a
// screen reader calls it. The frames, the page buttons and TextInfo keep the
// geometry that the model holds; everything else is placed here.

#include "form/form.h"

#include <map>
#include <optional>
#include <string>

namespace wc {

// The client area of the window, in twips.
inline constexpr int client_width = 12975;
inline constexpr int client_height = 7785;

// The control's place in twips, relative to its frame (or to the window).
std::optional<Twips> placement(const Control& control);

// Labels whose text is centred in their box.
bool centred(const Control& control);

// A name for every control that is unique in the window: the caption for
// buttons, options and frames, told apart by their context where captions
// repeat; the row label for lists, text boxes and "ALL IP" boxes.
std::map<const Control*, std::string> accessible_names(const Form1& f);

} // namespace wc
