#include "sim/server.h"

#include "sim/box.h"
#include "sim/connection.h"
#include "sim/state_file.h"

#include <asio.hpp>
#include <csignal>
#include <deque>
#include <filesystem>
#include <iostream>

namespace sim {
namespace {

using asio::ip::tcp;

// An accept that failed for want of descriptors is tried again as soon as one
// of our clients closes; this is for descriptors freed anywhere else.
constexpr std::chrono::milliseconds accept_retry{250};

struct Listener {
    Listener(asio::io_context& io, BoxConfig box_config)
        : config(std::move(box_config)), box(config.mac), acceptor(io), descriptor_freed(io) {}

    BoxConfig config;
    Box box;
    tcp::acceptor acceptor;
    asio::steady_timer descriptor_freed; // a failed accept waits on it
    std::uint16_t port = 0;
    std::string written_state;
};

class Server {
public:
    explicit Server(Options options) : m_state_dir(std::move(options.state_dir)) {
        for (BoxConfig& config : options.boxes) {
            m_listeners.emplace_back(m_io, std::move(config));
        }
    }

    int run(std::ostream& out);

private:
    asio::awaitable<void> accept_clients(Listener& listener);
    std::vector<std::string> handle(Listener& listener, std::string_view line);
    void descriptor_freed();
    void save_state(Listener& listener);

    std::string m_state_dir;
    asio::io_context m_io;
    // Set up before any "listening" line, so that a stop sent as soon as the boxes listen counts.
    asio::signal_set m_signals{m_io, SIGINT, SIGTERM};
    std::deque<Listener> m_listeners; // never moved: the accepting coroutines hold on to them
};

int Server::run(std::ostream& out) {
    m_signals.async_wait([this](const asio::error_code&, int) { m_io.stop(); });
    for (Listener& listener : m_listeners) {
        const BoxConfig& config = listener.config;
        try {
            listener.acceptor.open(tcp::v4());
            listener.acceptor.set_option(tcp::acceptor::reuse_address(true));
            listener.acceptor.bind({asio::ip::make_address_v4(config.address), config.port});
            // A refusing box keeps its port bound without listening: connecting to it
            // is refused, and no other program can take the port meanwhile.
            if (!config.faults.refuse) {
                listener.acceptor.listen();
                asio::co_spawn(m_io, accept_clients(listener), asio::detached);
            }
            listener.port = listener.acceptor.local_endpoint().port();
        } catch (const asio::system_error& error) {
            std::cerr << "wallsim: " << config.address << ":" << config.port << ": " << error.code().message()
                      << std::endl;
            return 1;
        }
        save_state(listener);
        out << "listening " << config.address << " " << listener.port << " " << config.mac << std::endl;
    }
    m_io.run();
    return 0;
}

asio::awaitable<void> Server::accept_clients(Listener& listener) {
    const auto handle_line = [this, &listener](std::string_view line) { return handle(listener, line); };
    while (true) {
        asio::error_code error;
        tcp::socket socket =
            co_await listener.acceptor.async_accept(asio::redirect_error(asio::use_awaitable, error));
        if (!error) {
            serve_client(std::move(socket), listener.config.faults, handle_line,
                         [this] { descriptor_freed(); });
            continue;
        }
        // Out of descriptors (or kernel memory): the connection stays queued, and
        // asking again at once would fail again at once, round and round.
        listener.descriptor_freed.expires_after(accept_retry);
        co_await listener.descriptor_freed.async_wait(asio::redirect_error(asio::use_awaitable, error));
    }
}

std::vector<std::string> Server::handle(Listener& listener, std::string_view line) {
    std::vector<std::string> replies = listener.box.handle_line(line);
    save_state(listener); // before the reply leaves, so its reader finds the state file up to date
    if (listener.config.faults.silent.contains(command_word(line))) {
        replies.clear();
    }
    return replies;
}

void Server::descriptor_freed() {
    for (Listener& listener : m_listeners) {
        listener.descriptor_freed.cancel();
    }
}

void Server::save_state(Listener& listener) {
    if (m_state_dir.empty()) {
        return;
    }
    std::string text = format_state(listener.box);
    if (text == listener.written_state) {
        return;
    }
    const std::filesystem::path path =
        std::filesystem::path(m_state_dir) / state_file_name(listener.config.address, listener.port);
    if (!write_atomically(path, text)) {
        // Not remembered as written, so the next command tries again.
        std::cerr << "wallsim: cannot write " << path.string() << std::endl;
        return;
    }
    listener.written_state = std::move(text);
}

} // namespace

int serve(Options options, std::ostream& out) {
    return Server(std::move(options)).run(out);
}

} // namespace sim
