#pragma once

// One client of a box: a coroutine that reads its command lines and one that
// writes its replies, shaped by the box's faults. A client that sends without
// reading stops being read once `output_limit` bytes of replies wait for it, so
// whatever it does costs the server no more than that, and the other clients
// nothing.

#include "sim/options.h"

#include <asio.hpp>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

inline constexpr std::size_t output_limit = 64 * 1024;

// The box's replies to one command line, to be sent on the connection it came on.
using LineHandler = std::function<std::vector<std::string>(std::string_view line)>;

// Serves the client until either side ends the connection; `closed` is called
// once its socket is closed, so that the descriptor is free again.
void serve_client(asio::ip::tcp::socket socket, const Faults& faults, LineHandler handle,
                  std::function<void()> closed);

} // namespace sim
