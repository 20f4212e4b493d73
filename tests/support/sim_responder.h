#pragma once

// The simulated box in-process behind a fake socket: every line the console
// sends reaches the box, and the box's replies arrive one chunk each.

#include "fake_platform.h"
#include "sim/box.h"

namespace wc::test {

inline Responder sim_responder(sim::Box& box, int delay_ms = 10) {
    return [&box, delay_ms](const std::string& line) {
        std::vector<Reply> replies;
        for (std::string& text : box.handle_line(line)) {
            replies.push_back({std::move(text), delay_ms});
        }
        return replies;
    };
}

} // namespace wc::test
