// A scripted match through the keys, frame by frame, and the step log it prints on stdout: byte for
// byte the log the game printed before its rules moved into a layer of their own (the file was made
// by that build from this same script), so the log's lines, their order and their numbers stay.
// TUMBRELT_STEP_LOG_OUT=<file> writes the log this build prints.

#include "support/MatchFixture.h"
#include "support/TempWorkDir.h"

#include <cstdlib>
#include <fstream>

namespace orv_gd
{
using Key = sf::Keyboard::Key;

/// Keys that go down together for one frame and up in the next, then twelve frames of nothing. Both
/// turns are ended by their keys, never by the clock, and the Builder's turns are short, so no block
/// fades: the log depends on the keys alone. The Builder's first turn; a step, a jump, left with right;
/// the turn's budget, then up; a reset spends the turn; ...
const std::vector<std::vector<Key>> Script{
    {Key::PageDown}, {Key::Right}, {Key::Right},  {Key::Return}, {Key::Up},        {Key::PageUp},
    {Key::Return},   {Key::D},     {Key::D},      {Key::W},      {Key::A, Key::D}, {Key::Q},
    {Key::Left},     {Key::Left},  {Key::Return}, {Key::Down},   {Key::Return},    {Key::D},
    {Key::D},        {Key::D},     {Key::D},      {Key::W},      {Key::Q},         {Key::Return},
    {Key::Return},   {Key::R},     {Key::Right},  {Key::Return}, {Key::Return},    {Key::D},
    {Key::W},        {Key::W},     {Key::D},      {Key::Q},      {Key::Return},    {Key::Return},
    {Key::D},        {Key::D},     {Key::Q},      {Key::Return}, {Key::Return},    {Key::W},
    {Key::D},        {Key::D},     {Key::D},      {Key::D},      {Key::Q},
};

TEST(StepLogTest, AScriptedMatchPrintsTheStepLogTheGameAlwaysHas)
{
    test::MatchFixture m;
    const std::string log = test::stdoutOf(
        [&]
        {
            for (const std::vector<Key>& keys : Script)
            {
                m.tap(keys);
                m.runFor(12 * test::MatchFixture::Step);
            }
        });
    if (const char* out = std::getenv("TUMBRELT_STEP_LOG_OUT"))
    {
        std::ofstream(out, std::ios::binary) << log;
    }
    EXPECT_EQ(log, test::readFile("tests/screens/data/step_log.txt"));
    EXPECT_GE(test::countOf(log, "starting physic updates"), 5) << "the script plays whole turns";
}
} // namespace orv_gd
