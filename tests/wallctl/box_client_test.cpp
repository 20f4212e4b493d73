// The box client against a scripted box on loopback that answers as no
// well-behaved box would: garbage, unasked replies, replies that carry their
// key but no value, and read-backs that differ from what was set.

#include "wallctl/box_jobs.h"

#include <asio/co_spawn.hpp>
#include <asio/detached.hpp>
#include <asio/experimental/as_tuple.hpp>
#include <asio/io_context.hpp>
#include <asio/read_until.hpp>
#include <asio/use_awaitable.hpp>
#include <asio/write.hpp>
#include <gtest/gtest.h>
#include <map>
#include <thread>

namespace wallctl {
namespace {

using namespace std::string_literals;

using Answers = std::map<std::string, std::string>; // a line, and the bytes the box answers it with

class ScriptedBox {
public:
    explicit ScriptedBox(Answers answers) {
        asio::co_spawn(m_io, serve(std::move(answers)), asio::detached);
        m_thread = std::thread([this] { m_io.run(); });
    }
    ~ScriptedBox() {
        m_io.stop();
        m_thread.join();
    }
    std::uint16_t port() const { return m_acceptor.local_endpoint().port(); }

private:
    asio::awaitable<void> serve(Answers answers) {
        constexpr auto tuple = asio::experimental::as_tuple(asio::use_awaitable);
        auto socket = co_await m_acceptor.async_accept(asio::use_awaitable);
        std::string buffer;
        while (true) {
            const auto [error, size] =
                co_await asio::async_read_until(socket, asio::dynamic_buffer(buffer), "\r\n", tuple);
            if (error) {
                co_return;
            }
            const auto answer = answers.find(buffer.substr(0, size - 2));
            buffer.erase(0, size);
            if (answer != answers.end()) {
                co_await asio::async_write(socket, asio::buffer(answer->second), tuple);
            }
        }
    }

    asio::io_context m_io;
    asio::ip::tcp::acceptor m_acceptor{m_io, {asio::ip::make_address_v4("127.0.0.1"), 0}};
    std::thread m_thread;
};

BoxResult serve_one(const Answers& answers, Request request) {
    ScriptedBox box(answers);
    request.boxes = {{"127.0.0.1", box.port()}};
    return serve_boxes(request, job_for(request)).front();
}

Request reading(std::vector<const char*> names) {
    Request request;
    request.command = Command::get;
    for (const char* name : names) {
        request.reads.push_back(wc::find_setting(name));
    }
    return request;
}

Request setting(const char* name, wc::Value value) {
    Request request;
    request.command = Command::set;
    request.assignments.push_back({wc::find_setting(name), std::move(value)});
    return request;
}

TEST(BoxClient, GarbageAndUnaskedRepliesAreSkippedUntilTheAwaitedReply) {
    const BoxResult result = serve_one({{"RPOW", "garbage\r\n\x01\xff\0\r\nMODN005\r\nPOWE000\r\n"s},
                                        {"RBH ", "BHV012\r\nBHV099\r\n"},
                                        {"RBV ", "BVV013\r\n"}},
                                       reading({"power", "bezel.h", "bezel.v"}));
    ASSERT_TRUE(result.ok) << result.error;
    ASSERT_EQ(result.settings.size(), 3u);
    EXPECT_EQ(result.settings[0].value, wc::Value(0));
    EXPECT_EQ(result.settings[1].value, wc::Value(12));
    EXPECT_EQ(result.settings[2].value, wc::Value(13)) << "the left-over BHV099 was not taken for it";
}

TEST(BoxClient, AReplyWithoutAValueOrADifferentReadBackFailsTheBoxWithItsReason) {
    struct Case {
        Answers answers;
        Request request;
        std::string error;
    };
    for (const Case& c : {
             Case{{{"RPOW", "POWE9x9\r\n"}},
                  reading({"power"}),
                  "\"RPOW\" was answered with \"POWE9x9\", which is no power"},
             Case{{{"RBRI 1", "OUT A: BRIV050\r\n"}},
                  setting("brightness.a", 70),
                  "brightness.a reads back 50, not 70"},
             Case{{{"SIPM 1", "IPMD000\r\nRELI\r\n"}},
                  setting("address-type", 1),
                  "address-type was answered with \"IPMD000\", not dhcp"},
         }) {
        const BoxResult result = serve_one(c.answers, c.request);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.error, c.error);
    }
}

} // namespace
} // namespace wallctl
