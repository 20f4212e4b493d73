#pragma once

// Why a run may end before every box is done: a signal from the user
// (SIGINT, SIGTERM) or the whole-run deadline the user gave. Once the run is
// stopping, no box starts and no exchange begins, while those under way end
// as they would; aborting ends those too, at once, by cancelling the sockets
// of every box client still enlisted.

#include <chrono>
#include <string>
#include <vector>

namespace wallctl {

class BoxClient;

// Thrown where a box's work ends because the run stops: the box is then
// interrupted (a signal) or failed (the deadline), not failed for itself.
struct Stopped {};

class Stop {
public:
    bool stopping() const { return m_signal != 0 || m_deadline_reached; }
    // The signal that interrupted the run; 0 when none did.
    int signal() const { return m_signal; }

    // The first signal stops the run; any further one, or the deadline, aborts it.
    void on_signal(int number);
    void on_deadline(std::chrono::milliseconds deadline);

    // What a box that the stop ended says: "interrupted", or the deadline that was reached.
    std::string reason() const;

    void enlist(BoxClient* client);
    void leave(BoxClient* client);

private:
    void abort();

    int m_signal = 0;
    bool m_deadline_reached = false;
    std::chrono::milliseconds m_deadline{};
    std::vector<BoxClient*> m_clients;
};

} // namespace wallctl
