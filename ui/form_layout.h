#pragma once

// Where each control of the window stands inside its frame, and what a
// screen reader calls it. The frames, the page buttons and TextInfo keep the
// geometry that the model holds; everything else is placed here.

#include "form/form.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace wc {

// The client area of the window, in twips.
inline constexpr int client_width = 12975;
inline constexpr int client_height = 7785;

// The control's place in twips, relative to its frame (or to the window).
std::optional<Twips> placement(const Control& control);

// Labels whose text is centred in their box.
bool centred(const Control& control);

// The labels that caption each list and text box on screen: the label of its
// row, or for the picture grid the row's head and the column's.
std::map<const Control*, std::vector<const Control*>> captions(const Form1& f);

// A name unique in the window for every button, option, "ALL IP" box, frame
// and progress bar, and for TextInfo: the caption, told apart by what it
// belongs to where captions repeat. Labels are named by their text, and
// lists and text boxes are called by their captions.
std::map<const Control*, std::string> accessible_names(const Form1& f);

} // namespace wc
