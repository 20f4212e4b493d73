#include "link/actions.h"

#include "link/replies.h"

#include <algorithm>

namespace wc {

namespace {
// Every acknowledgement an action awaits is a reply the readers know.
consteval bool acks_are_replies() {
    for (const Action& action : actions) {
        if (!action.ack.empty() && !is_reply_key(action.ack)) {
            return false;
        }
    }
    return true;
}
static_assert(acks_are_replies());
} // namespace

const Action* find_action(std::string_view name) {
    return find_named(actions, name);
}

std::string action_text(const Action& action, std::span<const int> numbers) {
    std::string line(action.word);
    for (const int n : numbers) {
        line += ' ';
        line += std::to_string(n);
    }
    if (action.trailing_blank) {
        line += " ";
    }
    return line;
}

std::optional<std::string> action_line(const Action& action, std::span<const int> numbers) {
    if (numbers.size() != static_cast<std::size_t>(action.numbers) ||
        std::any_of(numbers.begin(), numbers.end(), [&](int n) { return n < action.lo || n > action.hi; })) {
        return std::nullopt;
    }
    return action_text(action, numbers);
}

} // namespace wc
