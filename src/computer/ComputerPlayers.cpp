#include "computer/ComputerPlayers.h"

#include "computer/ComputerBuilder.h"
#include "computer/ComputerRunner.h"
#include "computer/MatchSource.h"
#include "core/ControllerInput.h"
#include "core/InputManager.h"

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace orv_gd
{
namespace
{
// The player index and controller slot of each role, and the actions the role reads.
constexpr int RunnerPlayer = 0;
constexpr int BuilderPlayer = 1;
const std::vector<std::string> RunnerActions{"RunnerLeft", "RunnerRight", "RunnerUp",
                                             "RunnerDown", "RunnerEnd",   "RunnerReset"};
const std::vector<std::string> BuilderActions{"BuilderUp",    "BuilderDown",       "BuilderLeft",
                                              "BuilderRight", "BuilderRotateLeft", "BuilderRotateRight",
                                              "BuilderPlace"};
} // namespace

ComputerPlayers::ComputerPlayers()
    : m_input(InputManager::getInstance()), m_controllers(ControllerInput::getInstance())
{
}

ComputerPlayers::~ComputerPlayers() = default;

void ComputerPlayers::start(const MatchSource& match, MatchMode mode, const ComputerLevels& levels)
{
    stop();
    const rules::Rng& rng = match.currentMatch().rng;
    const auto draws = rng.getDraws();
    std::seed_seq seeds{rng.getSeed(), static_cast<std::uint32_t>(draws),
                        static_cast<std::uint32_t>(draws >> 32)};
    std::array<std::uint32_t, 2> roleSeeds{};
    seeds.generate(roleSeeds.begin(), roleSeeds.end());
    if (computerRuns(mode))
    {
        m_input.setComputerActions(RunnerPlayer, RunnerActions);
        m_controllers.setIgnored(RunnerPlayer, true);
        m_runner =
            std::make_unique<ComputerRunner>(match, m_input, ComputerLevel::of(levels.runner), roleSeeds[0]);
    }
    if (computerBuilds(mode))
    {
        m_input.setComputerActions(BuilderPlayer, BuilderActions);
        m_controllers.setIgnored(BuilderPlayer, true);
        m_builder = std::make_unique<ComputerBuilder>(match, m_input, ComputerLevel::of(levels.builder),
                                                      roleSeeds[1]);
    }
}

void ComputerPlayers::keepKeysOff(bool runner)
{
    const int player = runner ? RunnerPlayer : BuilderPlayer;
    m_input.setComputerActions(player, runner ? RunnerActions : BuilderActions);
    m_controllers.setIgnored(player, true);
    m_keysOff = true;
}

void ComputerPlayers::stop()
{
    if (m_runner || m_builder || m_keysOff)
    {
        m_input.clearComputerActions();
        m_controllers.clearIgnored();
    }
    m_keysOff = false;
    m_runner.reset();
    m_builder.reset();
}

void ComputerPlayers::update(float dt)
{
    if (m_runner)
    {
        m_runner->update(dt);
    }
    if (m_builder)
    {
        m_builder->update(dt);
    }
}
} // namespace orv_gd
