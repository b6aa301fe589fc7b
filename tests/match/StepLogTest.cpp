// A scripted match through the keys, frame by frame, and the step log it prints on stdout: byte for
// byte the log the game printed before its rules moved into a layer of their own (the file was made
// by that build from this same script), so the log's lines, their order and their numbers stay.
// TUMBRELT_STEP_LOG_OUT=<file> writes the log this build prints.

#include "support/MatchFixture.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace orv_gd
{
namespace
{
using Key = sf::Keyboard::Key;

/// Keys that go down together for one frame and up in the next, then `rest` frames of nothing.
struct Press
{
    std::vector<Key> keys;
    int rest = 12;
};

// Both turns are ended by their keys, never by the clock, and the Builder's turns are short, so no
// block fades: the log depends on the keys alone.
const std::vector<Press>
    Script{
        {{Key::PageDown}}, {{Key::Right}},  {{Key::Right}},  {{Key::Return}},
        {{Key::Up}},       {{Key::PageUp}}, {{Key::Return}}, // the Builder's first turn
        {{Key::D}},        {{Key::D}},      {{Key::W}},      {{Key::A, Key::D}},
        {{Key::Q}}, // a step, a jump, left with right
        {{Key::Left}},     {{Key::Left}},   {{Key::Return}}, {{Key::Down}},
        {{Key::Return}},   {{Key::D}},      {{Key::D}},      {{Key::D}},
        {{Key::D}},        {{Key::W}},      {{Key::Q}}, // the turn's budget, then up
        {{Key::Return}},   {{Key::Return}}, {{Key::R}}, // a reset spends the turn
        {{Key::Right}},    {{Key::Return}}, {{Key::Return}}, {{Key::D}},
        {{Key::W}},        {{Key::W}},      {{Key::D}},      {{Key::Q}},
        {{Key::Return}},   {{Key::Return}}, {{Key::D}},      {{Key::D}},
        {{Key::Q}},        {{Key::Return}}, {{Key::Return}}, {{Key::W}},
        {{Key::D}},        {{Key::D}},      {{Key::D}},      {{Key::D}},
        {{Key::Q}},
    };

std::string readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}
} // namespace

TEST(StepLogTest, AScriptedMatchPrintsTheStepLogTheGameAlwaysHas)
{
    test::MatchFixture m;
    const std::string log = test::stdoutOf(
        [&]
        {
            for (const Press& press : Script)
            {
                m.tap(press.keys);
                m.runFor(press.rest * test::MatchFixture::Step);
            }
        });
    if (const char* out = std::getenv("TUMBRELT_STEP_LOG_OUT"))
    {
        std::ofstream(out, std::ios::binary) << log;
    }
    EXPECT_EQ(log, readFile("tests/match/data/step_log.txt"));
    EXPECT_GE(test::countOf(log, "starting physic updates"), 5) << "the script plays whole turns";
}
} // namespace orv_gd
