// `make balance`: the balance of the computer's levels as players meet it. Whole matches of the
// computer against itself through the match screen, at the computer's own pace, in frames of 16 ms,
// on the levels of the generator seeds 1, 2, ... (the same for every pair), printed on stdout as a
// markdown table; each match's end goes to stderr as it is played.
//
// TUMBRELT_BALANCE_MATCHES: matches for each pair (40 unless set); TUMBRELT_BALANCE_PAIRS="easy-hard
// normal-normal" plays only those pairs (Runner level first; "newcomer-hard" is the newcomer row).
// Needs a display (the game's window) and the "assets" folder in the working directory.
#include "core/Game.h"
#include "core/InputManager.h"
#include "core/MatchMode.h"
#include "resources/AssetCatalogue.h"
#include "rules/RunnerMoves.h"
#include "screens/EndState.h"
#include "screens/MainState.h"
#include "screens/MenuState.h"
#include "screens/TutorialState.h"

#include <SFML/Window/Event.hpp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <streambuf>
#include <string>

using namespace orv_gd;

namespace
{
constexpr float Frame = 0.016f;

struct Tally
{
    int matches = 0;
    int builderWins = 0;
    int runnerWins = 0;
    int turns = 0;
    /// The fewest Runner turns a Builder win took (0: none).
    int quickestBuilderWin = 0;
};

/// A newcomer's Runner key: the first move that makes progress, looking no further. A step right
/// unless it falls to a reset, else a jump while the way right is shut, else the end of the turn.
sf::Keyboard::Key newcomerKey(const rules::Match& match)
{
    using rules::RunnerMoves;
    const RunnerMoves::Result right = RunnerMoves::move(match.field, match.runner, RunnerMoves::Move::Right);
    if (right.outcome == RunnerMoves::Outcome::Finished ||
        ((right.outcome == RunnerMoves::Outcome::Moved || right.outcome == RunnerMoves::Outcome::Bumped) &&
         !right.walledIn))
    {
        return sf::Keyboard::D;
    }
    const RunnerMoves::Result up = RunnerMoves::move(match.field, match.runner, RunnerMoves::Move::Up);
    return up.outcome == RunnerMoves::Outcome::Moved && !up.walledIn ? sf::Keyboard::W : sf::Keyboard::Q;
}

void sendKey(sf::Keyboard::Key code, bool down)
{
    sf::Event event{};
    event.type = down ? sf::Event::KeyPressed : sf::Event::KeyReleased;
    event.key.code = code;
    InputManager::getInstance().process(event);
}

/// The game's window, assets and screens in this process, frames run by hand as the game runs them.
class Table
{
public:
    explicit Table(MatchMode mode)
    {
        m_game.setMatchMode(mode);
        m_game.getWindow().create(sf::VideoMode(800, 600), "Tumbrelt", sf::Style::None);
        m_game.initInputBindings();
        m_game.changeSettings({});
        AssetCatalogue::getInstance().setWindow(m_game.getWindow());
        AssetCatalogue::getInstance().loadAssets();
        GameStateManager& states = m_game.getGameStateManager();
        states.registerState("MenuState", std::make_shared<MenuState>(&states, &m_game));
        states.registerState("TutorialState", std::make_shared<TutorialState>(&states, &m_game));
        states.registerState("MainState", std::make_shared<MainState>(&states, &m_game, nullptr));
        states.registerState("EndState", std::make_shared<EndState>(&states, &m_game));
        InputManager::getInstance().setRenderWindow(&m_game.getWindow());
        // The first match on the sequence a fresh process starts with, as the game begins.
        states.setState("MainState");
        frame(0.0f);
    }
    ~Table()
    {
        m_game.getGameStateManager().shutdown();
        InputManager::getInstance().setRenderWindow(nullptr);
    }

    /// `matches` matches of the computer Runner at `runner` (a newcomer's keys when the game's mode
    /// is a match against the computer Builder) against the computer Builder at `builder`.
    Tally play(Difficulty runner, Difficulty builder, int matches)
    {
        const bool newcomer = m_game.getMatchMode() == MatchMode::ComputerBuilder;
        GameStateManager& states = m_game.getGameStateManager();
        auto& screen = static_cast<MainState&>(*states.findState("MainState"));
        Tally tally;
        m_game.rememberComputerLevels({runner, builder});
        for (int i = 0; i < matches; ++i)
        {
            states.setState("MenuState");
            frame(Frame);
            screen.setNextRng(rules::Rng(static_cast<std::uint32_t>(i + 1)));
            states.setState("MainState");
            frame(0.0f);
            // 51 turns of at most 10 s each side is under 1100 s.
            int turns = 0;
            for (int frames = 0; frames < 1100 * 63 && !screen.isMatchOver(); ++frames)
            {
                const rules::Match& match = screen.currentMatch();
                turns = rules::Match::StartTurns - match.turnsLeft + 1;
                if (newcomer && match.runnerActs() && frames % 16 == 0)
                {
                    const sf::Keyboard::Key key = newcomerKey(match);
                    sendKey(key, true);
                    frame(Frame);
                    sendKey(key, false);
                    frame(Frame);
                }
                frame(Frame);
            }
            const rules::Match& match = screen.currentMatch();
            const auto* end = dynamic_cast<EndState*>(states.findState("EndState"));
            const bool ended = states.getPendingState() == end || states.getCurrentState() == end;
            if (!screen.isMatchOver() || !ended)
            {
                std::fprintf(stderr, "tumbrelt_balance: match %d did not end\n", i + 1);
                std::exit(1);
            }
            const bool runnerWon = end->getWinner() == StrategyType::Runner;
            ++tally.matches;
            (runnerWon ? tally.runnerWins : tally.builderWins) += 1;
            if (!runnerWon && (tally.quickestBuilderWin == 0 || turns < tally.quickestBuilderWin))
            {
                tally.quickestBuilderWin = turns;
            }
            tally.turns += turns;
            const char* how = match.how == rules::WinReason::ReachedFinish ? "reached green"
                              : match.how == rules::WinReason::OutOfTurns  ? "out of turns"
                                                                           : "third reset";
            std::fprintf(stderr, "match %d: %s won after %d turns (%s at column %d)\n", i + 1,
                         runnerWon ? "Runner" : "Builder", turns, how, match.runner.cell.x);
        }
        return tally;
    }

private:
    /// One frame as the game runs it: input tables shift, the network, then the screens.
    void frame(float dt)
    {
        InputManager::getInstance().update();
        m_game.updateNetwork(dt);
        m_game.getGameStateManager().update(dt);
    }

    Game m_game;
};

std::string row(const char* runner, Difficulty builder, const Tally& t)
{
    const auto share = [&t](int wins)
    {
        return t.matches ? 100.0 * wins / t.matches : 0.0;
    };
    char line[200];
    std::snprintf(line, sizeof line, "| %s | %s | %d of %d (%.0f %%) | %d of %d (%.0f %%) | %.1f | %d |",
                  runner, difficultyName(builder), t.builderWins, t.matches, share(t.builderWins),
                  t.runnerWins, t.matches, share(t.runnerWins),
                  t.matches ? static_cast<double>(t.turns) / t.matches : 0.0, t.quickestBuilderWin);
    return line;
}

/// Swallows the step log the match screen writes on std::cout.
struct NullBuffer : std::streambuf
{
    int overflow(int c) override { return c; }
};
} // namespace

int main()
{
    const char* asked = std::getenv("TUMBRELT_BALANCE_MATCHES");
    const int matches = asked && *asked ? std::max(1, std::atoi(asked)) : 40;
    const std::string pairs =
        std::getenv("TUMBRELT_BALANCE_PAIRS") ? std::getenv("TUMBRELT_BALANCE_PAIRS") : "";
    const auto wanted = [&pairs](const std::string& pair)
    {
        return pairs.empty() || pairs.find(pair) != std::string::npos;
    };
    static NullBuffer null; // lives on for the single instances' ends at exit
    std::streambuf* const stepLog = std::cout.rdbuf(&null);
    std::string table =
        "| Runner | Builder | Builder wins | Runner wins | Runner turns on average | quickest "
        "Builder win |\n|---|---|---|---|---|---|\n";
    const auto add = [&table](const std::string& line)
    {
        std::fprintf(stderr, "played: %s\n", line.c_str());
        table += line + "\n";
    };
    if (wanted("newcomer-hard"))
    {
        // A person new to the game as Runner: the hard Builder beats it often, never in its first turns.
        Table newcomer(MatchMode::ComputerBuilder);
        add(row("newcomer", Difficulty::Hard, newcomer.play(Difficulty::Hard, Difficulty::Hard, matches)));
    }
    {
        Table computers(MatchMode::ComputerBoth);
        for (Difficulty runner : Difficulties)
        {
            for (Difficulty builder : Difficulties)
            {
                if (wanted(std::string(difficultyName(runner)) + "-" + difficultyName(builder)))
                {
                    add(row(difficultyName(runner), builder, computers.play(runner, builder, matches)));
                }
            }
        }
    }
    std::cout.rdbuf(stepLog);
    std::cout << table << std::flush;
    return 0;
}
