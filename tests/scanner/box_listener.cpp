// Stand-in for a box when the simulated box is not part of the build: listens on
// ADDRESS[:PORT] (port 23 by default), says "listening ADDRESS PORT" once it does,
// and accepts and drops connections until it is killed.
#include <arpa/inet.h>
#include <cstdio>
#include <cstdlib>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s ADDRESS[:PORT]\n", argv[0]);
        return 2;
    }
    const std::string spec = argv[1];
    const std::size_t colon = spec.find(':');
    const std::string host = spec.substr(0, colon);
    const int port = colon == std::string::npos ? 23 : std::atoi(spec.c_str() + colon + 1);

    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1 ||
        ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 64) != 0) {
        std::perror("box_listener");
        return 1;
    }
    std::printf("listening %s %d\n", host.c_str(), port);
    std::fflush(stdout);
    while (true) {
        const int connection = ::accept(fd, nullptr, nullptr);
        if (connection >= 0) {
            ::close(connection);
        }
    }
}
