// Frame-time benchmark of the real scenes in a real window.
//
// Runs the game's own classes on the display named by DISPLAY, at that display's resolution (the
// game's window covers the desktop): an empty loop (clear and display only, the limit of the
// renderer), the menu, and a match with the Runner alone and with 10, 20 and 40 placed amber blocks
// in view. Every frame runs inside a "Frame" scope of the game's trace; each scene writes its own
// trace session, and the figures are computed from the "Frame" events read back from those files.
// The times of Game::init and of entering a match come from their own trace events.
//
// The scenes are measured in several rounds, one block of frames per scene and round, so that a
// load change on a shared machine touches every scene alike rather than one. The last column is
// the processor time a frame took, the renderer's threads included: steadier than the clock when
// other programs share the cores, and so the better figure for comparing two builds.
//
// Usage: tumbrelt_bench [--frames N] [--warmup N] [--rounds N] [--out DIR]
// The working directory must hold the "assets" folder (or sit next to it), as for the game.

#include "core/Game.h"
#include "core/GameStateManager.h"
#include "core/InputManager.h"
#include "objects/EventBus.h"
#include "objects/GameObject.h"
#include "objects/GameObjectCreateEvent.h"
#include "objects/GameObjectManager.h"
#include "objects/RenderableCreateEvent.h"
#include "resources/TraceRecorder.h"
#include "screens/MainState.h"
#include "screens/Screens.h"
#include "view/BlockComponent.h"
#include "view/BlockType.h"
#include "view/GridManager.h"
#include "view/GridRenderer.h"
#include "view/Palette.h"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/OpenGL.hpp>
#include <SFML/Window/Event.hpp>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace
{
using orv_gd::Game;

/// The simulated frame time of the match scenes: fixed, so that a scene never runs out of turn
/// time or block lifetime however slow its frames are.
constexpr float MatchFrameTime = 1.0f / 60.0f;

struct Options
{
    int frames = 300;
    int warmup = 30;
    int rounds = 3;
    std::string outDir = ".";
};

struct SceneResult
{
    std::string name;
    std::size_t frames = 0;
    std::size_t litCells = 0;
    double medianMs = 0.0;
    double p99Ms = 0.0;
    /// Processor time a frame, the renderer's threads included.
    double processorMs = 0.0;
};

/// The processor time of the whole process (the renderer's threads included) in ms. Unlike the
/// frames' clock time, it hardly moves when other programs share the cores.
double processorMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t)
    {
        return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_usec) / 1000.0;
    };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

/// Runs a block of `length` frames; returns the processor time of those after the warm-up.
template <typename Frame>
double runBlock(int length, int warmup, Frame frame)
{
    double start = processorMs();
    for (int i = 0; i < length; ++i)
    {
        if (i == warmup)
        {
            start = processorMs();
        }
        frame();
    }
    return processorMs() - start;
}

/// Durations in microseconds of the complete events with the given name in a trace file.
std::vector<long long> readDurations(const std::string& path, const std::string& name)
{
    std::ifstream in(path);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The writer's member order is fixed: cat, dur, name, ...
    const std::regex event("\\{\"cat\":\"function\",\"dur\":(-?[0-9]+),\"name\":\"([^\"]*)\"");
    std::vector<long long> durations;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), event); it != std::sregex_iterator(); ++it)
    {
        if ((*it)[2] == name)
        {
            durations.push_back(std::stoll((*it)[1]));
        }
    }
    return durations;
}

/// Nearest-rank percentile of sorted values, in milliseconds.
double percentileMs(const std::vector<long long>& sorted, double percent)
{
    if (sorted.empty())
    {
        return 0.0;
    }
    std::size_t rank =
        static_cast<std::size_t>(percent / 100.0 * static_cast<double>(sorted.size()) + 0.999999);
    rank = std::clamp<std::size_t>(rank, 1, sorted.size());
    return static_cast<double>(sorted[rank - 1]) / 1000.0;
}

double medianMs(const std::vector<long long>& sorted)
{
    if (sorted.empty())
    {
        return 0.0;
    }
    const std::size_t n = sorted.size();
    const double middle =
        n % 2 == 1 ? static_cast<double>(sorted[n / 2])
                   : (static_cast<double>(sorted[n / 2 - 1]) + static_cast<double>(sorted[n / 2])) / 2.0;
    return middle / 1000.0;
}

/// The "Frame" durations of a block of frames read back from its trace file, warm-up dropped.
std::vector<long long> blockFrames(const std::string& path, int warmup)
{
    std::vector<long long> frames = readDurations(path, "Frame");
    frames.erase(frames.begin(),
                 frames.begin() + std::min<std::ptrdiff_t>(warmup, std::ptrdiff_t(frames.size())));
    return frames;
}

/// The figures of a scene from the frames of all its blocks.
SceneResult summarise(const std::string& name, std::vector<long long> frames, std::size_t litCells)
{
    std::sort(frames.begin(), frames.end());
    SceneResult result;
    result.name = name;
    result.frames = frames.size();
    result.litCells = litCells;
    result.medianMs = medianMs(frames);
    result.p99Ms = percentileMs(frames, 99.0);
    return result;
}

/// Hands the window's events to the input manager as the game's loop does; a close request ends
/// the benchmark.
void processEvents(sf::RenderWindow& window)
{
    TRACE_SCOPE("Process Events");
    sf::Event event{};
    while (window.pollEvent(event))
    {
        if (event.type == sf::Event::Closed)
        {
            std::cerr << "tumbrelt_bench: the window was closed" << std::endl;
            std::exit(1);
        }
        orv_gd::InputManager::getInstance().process(event);
    }
}

/// One frame of the game with a fixed frame time: Game::update's steps (input tables, state
/// manager, title), then the real Game::draw.
void gameFrame(Game& game, float deltaTime)
{
    TRACE_SCOPE("Frame");
    processEvents(game.getWindow());
    {
        TRACE_SCOPE("orv_gd::Game::update");
        orv_gd::InputManager::getInstance().update();
        game.getGameStateManager().update(deltaTime);
        game.getWindow().setTitle(game.getConfig().windowName + " | FPS: 0");
    }
    game.draw();
}

/// Draw commands are only queued by the renderer and carried out at display; to see where a
/// match frame's time goes, this frame waits for the renderer (glFinish) after each part of
/// MainState::draw, so that each scope holds the real cost of its part.
void breakdownFrame(Game& game)
{
    TRACE_SCOPE("Frame");
    processEvents(game.getWindow());
    orv_gd::InputManager::getInstance().update();
    game.getGameStateManager().update(MatchFrameTime);
    sf::RenderWindow& window = game.getWindow();
    auto& match = static_cast<orv_gd::MainState&>(*game.getGameStateManager().findState("MainState"));
    {
        TRACE_SCOPE("part: clear");
        window.clear(sf::Color(0, 0, 0, 255));
        glFinish();
    }
    {
        TRACE_SCOPE("part: grid frames and light cones");
        orv_gd::GridManager::getInstance().draw();
        glFinish();
    }
    {
        TRACE_SCOPE("part: layers Map and Ui");
        match.getSpriteManager().draw();
        glFinish();
    }
    {
        TRACE_SCOPE("part: display");
        window.display();
    }
}

const std::vector<std::string> Parts{"part: clear", "part: grid frames and light cones",
                                     "part: layers Map and Ui", "part: display"};

/// Adds the microseconds of each "part: " scope in a trace file to the totals, in drawing order.
void addPartTotals(const std::string& path, std::vector<long long>& totals)
{
    totals.resize(Parts.size(), 0);
    for (std::size_t i = 0; i < Parts.size(); ++i)
    {
        for (long long duration : readDurations(path, Parts[i]))
        {
            totals[i] += duration;
        }
    }
}

/// Clear and display only: what any frame costs on this renderer at this window size.
void emptyFrame(sf::RenderWindow& window)
{
    TRACE_SCOPE("Frame");
    processEvents(window);
    window.clear(sf::Color(0, 0, 0, 255));
    window.display();
}

/// Switches the state manager to a state and runs the frame in which the switch takes effect.
void enterState(Game& game, const std::string& name)
{
    game.getGameStateManager().setState(name);
    gameFrame(game, MatchFrameTime);
}

/// Places `count` amber blocks on free cells in the camera's view, the way the Builder drops
/// them: in the rules' field, and on screen a Dynamic block on its own object, announced, then
/// unghosted, placed and timed. Returns the number placed (fewer when the view has no more free
/// cells).
std::size_t placeLitBlocks(orv_gd::MainState& match, sf::RenderWindow& window, std::size_t count)
{
    orv_gd::GridManager& grid = orv_gd::GridManager::getInstance();
    orv_gd::EventBus& events = orv_gd::EventBus::getInstance();
    const std::shared_ptr<orv_gd::GameObject> camera =
        orv_gd::GameObjectManager::getInstance().getGameObject("Camera");
    if (!camera)
    {
        return 0;
    }
    const sf::Vector2f centre = camera->getPosition();
    const sf::Vector2f half(static_cast<float>(window.getSize().x) / 2.0f,
                            static_cast<float>(window.getSize().y) / 2.0f);
    const sf::Vector2f cell = grid.getCellSize();
    const sf::Vector2i map = grid.getMapSize();

    // The free cells in view in a fixed random order, so that the scenes' blocks are nested sets
    // spread over the whole view: a light near the view's edge is partly off screen and cheaper,
    // and filling the view row by row would make the first lights cheaper than the last.
    std::vector<sf::Vector2i> free;
    for (int y = 0; y < map.y; ++y)
    {
        for (int x = 0; x < map.x - 3; ++x)
        {
            const float left = static_cast<float>(x) * cell.x;
            const float top = static_cast<float>(y) * cell.y;
            const bool inView = left >= centre.x - half.x && left + cell.x <= centre.x + half.x &&
                                top >= centre.y - half.y && top + cell.y <= centre.y + half.y;
            if (inView && !grid.getBlockAt(x, y))
            {
                free.push_back({x, y});
            }
        }
    }
    std::shuffle(free.begin(), free.end(), std::mt19937(1));

    std::size_t placed = 0;
    for (std::size_t i = 0; i < free.size() && placed < count; ++i)
    {
        std::shared_ptr<orv_gd::GameObject> object =
            orv_gd::GameObject::create("benchBlock_" + std::to_string(i));
        std::shared_ptr<orv_gd::BlockComponent> block = object->addComponent<orv_gd::BlockComponent>(
            *object, window, free[i], orv_gd::PaletteAmber, true, orv_gd::BlockType::Dynamic);
        grid.placeBlock(block);
        events.fireEvent(std::make_shared<orv_gd::RenderableCreateEvent>("Map", *block));
        object->init();
        events.fireEvent(std::make_shared<orv_gd::GameObjectCreateEvent>(object));

        block->setGhost(false);
        block->setPlaced(true);
        if (grid.placeBlock(block))
        {
            match.editMatch().field.drop({free[i].x, free[i].y}, orv_gd::rules::CellKind::Dynamic,
                                         orv_gd::rules::Match::BlockLifeMs);
            block->resetLifetime();
            grid.addTimedBlock(block);
            ++placed;
        }
    }
    return placed;
}

std::string sessionPath(const Options& options, const std::string& scene)
{
    return options.outDir + "/bench_" + scene + ".json";
}

Options parseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--frames" && hasValue)
        {
            options.frames = std::max(1, std::atoi(argv[++i]));
        }
        else if (arg == "--warmup" && hasValue)
        {
            options.warmup = std::max(0, std::atoi(argv[++i]));
        }
        else if (arg == "--rounds" && hasValue)
        {
            options.rounds = std::max(1, std::atoi(argv[++i]));
        }
        else if (arg == "--out" && hasValue)
        {
            options.outDir = argv[++i];
        }
        else
        {
            std::cerr << "usage: tumbrelt_bench [--frames N] [--warmup N] [--rounds N] [--out DIR]"
                      << std::endl;
            std::exit(2);
        }
    }
    return options;
}

void printRow(const SceneResult& scene, double emptyMedianMs)
{
    const double ratio = emptyMedianMs > 0.0 ? scene.medianMs / emptyMedianMs : 0.0;
    const double spread = scene.medianMs > 0.0 ? scene.p99Ms / scene.medianMs : 0.0;
    char line[160];
    std::snprintf(line, sizeof(line), "%-12s %6zu %5zu %10.3f %10.3f %9.2f %9.2f %9.3f", scene.name.c_str(),
                  scene.frames, scene.litCells, scene.medianMs, scene.p99Ms, ratio, spread,
                  scene.processorMs);
    std::cout << line << std::endl;
}
} // namespace

int main(int argc, char** argv)
{
    const Options options = parseOptions(argc, argv);
    orv_gd::TraceRecorder& trace = orv_gd::TraceRecorder::get();

    Game game(orv_gd::registerScreens);
    const std::string startupPath = sessionPath(options, "startup");
    trace.beginSession("startup", startupPath);
    game.init();
    trace.endSession();
    sf::RenderWindow& window = game.getWindow();
    if (!window.isOpen())
    {
        std::cerr << "tumbrelt_bench: no window" << std::endl;
        return 1;
    }

    const std::vector<std::size_t> ambers{0, 10, 20, 40};
    const int blockLength = options.warmup + std::max(1, options.frames / options.rounds);
    const int partFrames = std::max(1, options.frames / 5 / options.rounds);
    std::vector<long long> emptyFrames;
    std::vector<long long> menuFrames;
    std::vector<std::vector<long long>> matchFrames(ambers.size());
    std::vector<std::size_t> litCells(ambers.size(), 0);
    std::vector<std::vector<long long>> partTotals(ambers.size());
    std::vector<long long> matchInits;
    // Processor ms of the empty loop, the menu and each match scene, over all rounds.
    std::vector<double> processor(2 + ambers.size(), 0.0);
    const std::string blockPath = sessionPath(options, "block");
    const std::string matchInitPath = sessionPath(options, "match_init");
    const auto appendBlock = [&](std::vector<long long>& to)
    {
        const std::vector<long long> frames = blockFrames(blockPath, options.warmup);
        to.insert(to.end(), frames.begin(), frames.end());
    };

    for (int round = 0; round < options.rounds; ++round)
    {
        trace.beginSession("empty", blockPath);
        processor[0] += runBlock(blockLength, options.warmup, [&] { emptyFrame(window); });
        trace.endSession();
        appendBlock(emptyFrames);

        // The first frame of the first round makes the menu current.
        if (round > 0)
        {
            enterState(game, "MenuState");
        }
        trace.beginSession("menu", blockPath);
        processor[1] += runBlock(blockLength, options.warmup, [&] { gameFrame(game, MatchFrameTime); });
        trace.endSession();
        appendBlock(menuFrames);

        for (std::size_t scene = 0; scene < ambers.size(); ++scene)
        {
            // A fresh match for every block, so the Builder's turn and the blocks' lifetimes are new.
            trace.beginSession("match_init", matchInitPath);
            enterState(game, "MenuState");
            enterState(game, "MainState");
            trace.endSession();
            for (long long duration : readDurations(matchInitPath, "orv_gd::MainState::init"))
            {
                matchInits.push_back(duration);
            }
            // Let the camera settle on the Runner before picking cells in its view.
            for (int i = 0; i < 60; ++i)
            {
                gameFrame(game, MatchFrameTime);
            }
            auto& match = static_cast<orv_gd::MainState&>(*game.getGameStateManager().findState("MainState"));
            const std::size_t placed = placeLitBlocks(match, window, ambers[scene]);
            if (placed != ambers[scene])
            {
                std::cerr << "tumbrelt_bench: only " << placed << " of " << ambers[scene]
                          << " blocks found a free cell in view" << std::endl;
            }
            trace.beginSession("match", blockPath);
            processor[2 + scene] +=
                runBlock(blockLength, options.warmup, [&] { gameFrame(game, MatchFrameTime); });
            trace.endSession();
            appendBlock(matchFrames[scene]);
            // What was actually lit in the last frame, culling included.
            litCells[scene] = orv_gd::GridManager::getInstance().getRenderer().getLitBlocks().size();

            // The same scene once more, waiting for the renderer after each part of the drawing.
            trace.beginSession("match parts", blockPath);
            for (int i = 0; i < partFrames; ++i)
            {
                breakdownFrame(game);
            }
            trace.endSession();
            addPartTotals(blockPath, partTotals[scene]);
        }
    }
    enterState(game, "MenuState");
    game.shutdown();
    window.close();

    std::vector<SceneResult> results;
    results.push_back(summarise("empty", emptyFrames, 0));
    results.push_back(summarise("menu", menuFrames, 0));
    for (std::size_t scene = 0; scene < ambers.size(); ++scene)
    {
        results.push_back(
            summarise("match+" + std::to_string(ambers[scene]), matchFrames[scene], litCells[scene]));
    }
    const double measured = static_cast<double>(options.rounds * (blockLength - options.warmup));
    for (std::size_t i = 0; i < results.size(); ++i)
    {
        results[i].processorMs = processor[i] / measured;
    }

    const std::vector<long long> init = readDurations(startupPath, "orv_gd::Game::init");
    std::sort(matchInits.begin(), matchInits.end());

    const double emptyMedian = results.front().medianMs;
    std::cout << "window " << window.getSize().x << "x" << window.getSize().y << ", " << options.frames
              << " frames per scene in " << options.rounds << " rounds, each after " << options.warmup
              << " warm-up frames" << std::endl;
    std::cout << "scene        frames   lit  median ms     p99 ms  x empty  p99/med    cpu ms" << std::endl;
    for (const SceneResult& scene : results)
    {
        printRow(scene, emptyMedian);
    }
    // The cost of one more lit cell: the least-squares slope of the match scenes' medians over their
    // lit cells, less sensitive to one disturbed scene than the two ends alone.
    double meanLit = 0.0;
    double meanMs = 0.0;
    for (std::size_t i = 2; i < results.size(); ++i)
    {
        meanLit += static_cast<double>(results[i].litCells) / static_cast<double>(results.size() - 2);
        meanMs += results[i].medianMs / static_cast<double>(results.size() - 2);
    }
    double covariance = 0.0;
    double variance = 0.0;
    for (std::size_t i = 2; i < results.size(); ++i)
    {
        const double lit = static_cast<double>(results[i].litCells) - meanLit;
        covariance += lit * (results[i].medianMs - meanMs);
        variance += lit * lit;
    }
    if (emptyMedian > 0.0 && variance > 0.0)
    {
        char line[120];
        std::snprintf(line, sizeof(line), "each further lit cell adds %.3f ms = %.2f x the empty loop",
                      covariance / variance, covariance / variance / emptyMedian);
        std::cout << line << std::endl;
    }
    std::cout << "where a match frame's time goes (ms per frame, the renderer waited for after each part):"
              << std::endl;
    for (std::size_t scene = 0; scene < ambers.size(); ++scene)
    {
        std::cout << "  match+" << ambers[scene] << ":";
        for (std::size_t i = 0; i < Parts.size(); ++i)
        {
            char cell[96];
            std::snprintf(cell, sizeof(cell), "  %s %.2f", Parts[i].substr(6).c_str(),
                          static_cast<double>(partTotals[scene][i]) / 1000.0 /
                              static_cast<double>(partFrames * options.rounds));
            std::cout << cell;
        }
        std::cout << std::endl;
    }
    char line[160];
    std::snprintf(
        line, sizeof(line), "Game::init %.1f ms, MainState::init median %.1f ms (max %.1f ms, %zu entries)",
        init.empty() ? 0.0 : static_cast<double>(init.front()) / 1000.0, medianMs(matchInits),
        matchInits.empty() ? 0.0 : static_cast<double>(matchInits.back()) / 1000.0, matchInits.size());
    std::cout << line << std::endl;
    return 0;
}
