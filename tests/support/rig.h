#pragma once

// A console on the fake platform, started as the window starts.

#include "console/console.h"
#include "fake_platform.h"
#include "sim/box.h"

#include <cstdint>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <initializer_list>
#include <string>
#include <vector>

namespace wc::test {

// What a feature folder installs into a console: its handlers and parsers.
using Install = void (*)(Console&);

struct Rig {
    // The shell (pages, Disconnect) and the given features, started as the
    // window starts: a test composes only what it exercises.
    explicit Rig(std::initializer_list<Install> features);

    FakePlatform p;
    Console c{p};
    Form1& f = c.f;

    // Lists boxes as a search would, without running one: MAC entries,
    // ip_list and the ID list; box k gets the address 192.168.1.(20 + k).
    void list_boxes(int count);
    static std::string address(int box) { return "192.168.1." + std::to_string(20 + box); }

    // Connects every listed box and brings the window online as a successful
    // Connect does, without its OSD query and full refresh, so that a feature
    // can be tested on its own. Boxes without a script get an empty one.
    void go_online(int selected = 0);
    // Lists count boxes and goes online on box 0, which answers through the responder.
    void online(int count, Responder respond = {});

    // Lets time pass until every handler has ended (a test leaves a silent
    // box's wait to a Disconnect it schedules); a handler that nothing left
    // to happen can end fails the test.
    void finish();

    // What the operator and box 0 saw of an action and another one pressed
    // `then_ms` into it: box 0's lines, the messages, and when the last
    // handler ended. A wait still left at `disconnect_ms` is ended by Disconnect.
    struct Outcome {
        std::vector<std::string> lines;
        std::vector<std::string> messages;
        std::int64_t ended_ms;
    };
    Outcome meanwhile(const std::function<void()>& first, std::int64_t then_ms,
                      const std::function<void()>& then, std::int64_t disconnect_ms = 60'000);

    // Box k accepts a connect after connect_ms and answers through the responder.
    void script_box(int box, Responder respond, int connect_ms = 20) {
        p.add_box(address(box), BoxScript{true, true, connect_ms, std::move(respond)});
    }

private:
    int m_meanwhile = 0; // the latest meanwhile(): an older one's Disconnect does nothing
};

// The simulated box in-process behind a fake socket: every line the console
// sends reaches the box, and the box's replies arrive one chunk each, ended
// by "\r\n" (a box script that `speaks` frames them itself).
inline Responder sim_responder(sim::Box& box, int delay_ms = 10, std::string_view end = "\r\n") {
    return [&box, delay_ms, end](const std::string& line) {
        std::vector<Chunk> replies;
        for (std::string& text : box.handle_line(line)) {
            replies.push_back({text.append(end), delay_ms});
        }
        return replies;
    };
}

} // namespace wc::test
