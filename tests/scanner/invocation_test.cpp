// The scanner's command line: no arguments sweep; a question is answered and
// anything else refused, both without touching the network.

#include "invocation.h"

#include <gtest/gtest.h>

namespace scanner {
namespace {

TEST(Invocation, NoArgumentsSweepAndEverythingButHelpOrVersionAloneIsRefused) {
    using Args = std::vector<std::string_view>;
    const std::pair<Args, Invocation> cases[] = {
        {{}, Invocation::sweep},
        {{"--help"}, Invocation::help},
        {{"-h"}, Invocation::help},
        {{"--version"}, Invocation::version},
        {{"--version", "--help"}, Invocation::bad_usage},
        {{"-v"}, Invocation::bad_usage},
        {{"."}, Invocation::bad_usage},
        {{""}, Invocation::bad_usage},
    };
    for (const auto& [args, expected] : cases) {
        EXPECT_EQ(invocation(args), expected) << (args.empty() ? "(none)" : args.front());
    }
}

} // namespace
} // namespace scanner
