// watch in a terminal of its own (tmux, 80x24) over a wall with one differing
// setting and one dead box: what capture-pane shows is the interface.

#include "wallctl/text_file.h"
#include "wallsim.h"

#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <set>
#include <sstream>
#include <thread>

namespace wallctl {
namespace {

using Lines = std::vector<std::string>;
using sim::testing::WallsimProcess;

std::string text_of(const sim::testing::Listening& box) {
    return box.address + ":" + std::to_string(box.port);
}

// A tmux server of the test's own, its socket in the test's folder.
class Tmux {
public:
    explicit Tmux(const wc::test::TempDir& dir) : m_socket(dir / "tmux") {}
    ~Tmux() { run({"kill-server"}); }
    Tmux(const Tmux&) = delete;
    Tmux& operator=(const Tmux&) = delete;

    wc::test::Ran run(Lines args) const {
        args.insert(args.begin(), {"tmux", "-S", m_socket, "-f", "/dev/null"});
        return wc::test::run(args);
    }

    // The screen once `shows` holds for it, or as it is at the test's deadline.
    // capture-pane is polled, a twentieth of a second between looks.
    std::string await(const std::function<bool(const std::string& screen)>& shows) const {
        const auto until = wc::test::deadline();
        std::string screen;
        while (!shows(screen = run({"capture-pane", "-p"}).out) && wc::test::Clock::now() < until) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return screen;
    }

private:
    std::string m_socket;
};

// The words of the screen's line that starts with `start`; none when no line does.
Lines words_of(const std::string& screen, const std::string& start) {
    for (const std::string_view line : text_lines(screen)) {
        if (line.starts_with(start)) {
            std::istringstream words{std::string(line)};
            return {std::istream_iterator<std::string>(words), {}};
        }
    }
    return {};
}

TEST(Watch, ShowsEveryBoxADeadOneDownARestartedOneUpAgainAndQuitsRestoringTheTerminal) {
    wc::test::TempDir dir;
    WallsimProcess wall({"127.0.0.1:0", "127.0.0.1:0", "--refuse", "127.0.0.1:0"}, 3);
    auto restarting = std::make_unique<WallsimProcess>(Lines{"127.0.0.1:0"}, 1);
    ASSERT_EQ(wall.boxes().size() + restarting->boxes().size(), 4u);
    const std::string odd = text_of(wall.boxes()[0]), dead = text_of(wall.boxes()[2]);
    const std::string moving = text_of(restarting->boxes()[0]);
    ASSERT_EQ(wc::test::run({WALLCTL_PATH, "-b", odd, "set", "mute=on"}).status, 0);
    std::ofstream(dir / "boxes") << odd << "\n"
                                 << text_of(wall.boxes()[1]) << "\n"
                                 << dead << "\n"
                                 << moving << "\n";
    Tmux tmux(dir);
    const std::string watch = std::string(WALLCTL_PATH) + " --boxes " + (dir / "boxes").string() +
                              " watch --interval 1; echo exit $?; stty -a; echo end of modes; exec cat";
    ASSERT_EQ(tmux.run({"new-session", "-d", "-x", "80", "-y", "24", watch}).status, 0)
        << "is tmux installed (scripts/setup)?";

    const auto link = [](const std::string& box, const std::string& state) {
        return [=](const std::string& screen) {
            const Lines row = words_of(screen, box + " ");
            return row.size() > 1 && row[1] == state;
        };
    };
    const struct {
        std::function<void()> act;
        std::function<bool(const std::string& screen)> shows;
    } stages[] = {
        // The odd box's mute is on, the wall's off: one setting differs.
        {[] {},
         [&](const std::string& screen) {
             const Lines row = words_of(screen, odd + " ");
             return link(moving, "up")(screen) && link(dead, "down")(screen) && row.size() == 9 &&
                    row[1] == "up" && row[6] == "on" && row[8] == "1";
         }},
        {[&] { restarting.reset(); }, link(moving, "down")},
        {[&] { restarting = std::make_unique<WallsimProcess>(Lines{moving}, 1); }, link(moving, "up")},
        {[&] {
             tmux.run({"send-keys", "d"});
         },
         [](const std::string& screen) {
             return words_of(screen, "  mute") == Lines{"mute", "on", "off"};
         }},
        {[&] {
             tmux.run({"send-keys", "Down", "Down"});
         },
         [&](const std::string& screen) {
             return screen.find(dead + "  down since") != std::string::npos &&
                    screen.find("cannot connect: Connection refused") != std::string::npos;
         }},
        {[&] {
             tmux.run({"send-keys", "q"});
         },
         [](const std::string& screen) {
             return screen.find("exit 0\n") != std::string::npos &&
                    screen.find("end of modes") != std::string::npos;
         }},
    };
    for (std::size_t k = 0; k < std::size(stages); ++k) {
        stages[k].act();
        const std::string screen = tmux.await(stages[k].shows);
        ASSERT_TRUE(stages[k].shows(screen)) << "stage " << k << ":\n" << screen;
    }
    // The terminal as it was: the main screen, the cursor shown, lines and echo back on.
    EXPECT_EQ(tmux.run({"display-message", "-p", "#{alternate_on} #{cursor_flag}"}).out, "0 1\n");
    std::istringstream modes(tmux.run({"capture-pane", "-p"}).out);
    const std::set<std::string> on{std::istream_iterator<std::string>(modes), {}};
    for (const char* mode : {"icanon", "echo", "icrnl", "opost"}) {
        EXPECT_TRUE(on.contains(mode)) << mode << " is off";
    }
}

} // namespace
} // namespace wallctl
