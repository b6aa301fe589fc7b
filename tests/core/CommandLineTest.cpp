#include "core/CommandLine.h"

#include <gtest/gtest.h>

#include <vector>

namespace orv_gd
{
namespace
{
CommandLine parse(std::vector<const char*> words)
{
    words.insert(words.begin(), "tumbrelt");
    return CommandLine::parse(static_cast<int>(words.size()), words.data());
}
} // namespace

TEST(CommandLineTest, OptionsTakeTheirValueAsTheNextWordOrAfterAnEqualsSign)
{
    const CommandLine none = parse({});
    EXPECT_TRUE(none.error.empty() && !none.help && none.replay.empty() && none.port == 47474);
    const CommandLine line =
        parse({"--replay", "a match.txt", "--port=5000", "--mute", "--trace", "--role", "builder"});
    EXPECT_EQ(line.error, "");
    EXPECT_EQ(line.replay, "a match.txt");
    EXPECT_EQ(line.port, 5000);
    EXPECT_TRUE(line.mute && line.trace && !line.windowed);
    EXPECT_EQ(line.role, "builder");
    EXPECT_EQ(parse({"--check-replay=x"}).checkReplay, "x");
    EXPECT_EQ(parse({"--join", "k7qm-4xzp", "--relay=mqtts://relay.example.org"}).relay,
              "mqtts://relay.example.org");
    EXPECT_TRUE(parse({"-h"}).help && parse({"--version"}).version);
    EXPECT_EQ(CommandLine::versionLine(), "tumbrelt 1.0.0");
}

TEST(CommandLineTest, AWrongCommandLineIsOneLineNamingWhatIsWrong)
{
    EXPECT_EQ(parse({"--fly"}).error, "unknown option \"--fly\" (see --help)");
    EXPECT_EQ(parse({"--mute=yes"}).error, "unknown option \"--mute=yes\" (see --help)");
    EXPECT_EQ(parse({"--replay"}).error, "--replay needs a value (see --help)");
    EXPECT_EQ(parse({"--join="}).error, "--join needs a value (see --help)");
    EXPECT_EQ(parse({"--port", "0"}).error, "--port takes a number from 1 to 65535, not \"0\"");
    EXPECT_EQ(parse({"--seed", "4294967296"}).error,
              "--seed takes a number from 0 to 4294967295, not \"4294967296\"");
    EXPECT_EQ(parse({"--seed", "4294967295"}).seed, 4294967295u);
    EXPECT_EQ(parse({"--port", "65536"}).error, "--port takes a number from 1 to 65535, not \"65536\"");
    EXPECT_EQ(parse({"--port=12a"}).error, "--port takes a number from 1 to 65535, not \"12a\"");
    EXPECT_EQ(parse({"--role", "referee"}).error, "--role takes runner or builder, not \"referee\"");
    EXPECT_EQ(parse({"--windowed", "--fullscreen"}).error, "--windowed and --fullscreen do not go together");
    EXPECT_EQ(parse({"--host", "--join", "h"}).error, "--host and --join do not go together");
    EXPECT_EQ(parse({"--relay", "relay.example.org"}).error, "--relay goes with --host or --join");
    EXPECT_EQ(parse({"--fly", "--also"}).error, "unknown option \"--fly\" (see --help)")
        << "the first fault only";
}
} // namespace orv_gd
