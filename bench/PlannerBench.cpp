// `make bench`, part one: how long one decision of the computer players takes on a 50 x 15 field
// laid out as the game lays its level, with amber blocks strewn over it. No window needed.
#include "computer/BuilderPlanner.h"
#include "computer/ComputerLevel.h"
#include "computer/HintPlanner.h"
#include "computer/RunnerPlanner.h"
#include "rules/Match.h"
#include "rules/ObstacleShapes.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <random>
#include <vector>

using namespace orv_gd;
using rules::Cell;
using rules::CellKind;

namespace
{
/// Platforms two to five cells wide on rows 10 to 12 with gaps of one to three, the finish line in
/// the last three columns: the layout of the game's level, from a seeded generator.
rules::Field levelLike(std::mt19937& random)
{
    rules::Field field(50, 15);
    int cursor = 0;
    for (int group = 0; cursor < 47; ++group)
    {
        const int width = std::uniform_int_distribution<int>(2, 5)(random);
        const int row = 10 + (group == 0 ? 0 : std::uniform_int_distribution<int>(1, 2)(random));
        for (int i = 0; i < width && cursor + i <= 46; ++i)
        {
            field.set({cursor + i, row}, CellKind::Static);
        }
        cursor += width + std::uniform_int_distribution<int>(1, 3)(random);
    }
    for (int x = 47; x < 50; ++x)
    {
        for (int y = 0; y < 15; ++y)
        {
            field.set({x, y}, CellKind::Finish);
        }
    }
    return field;
}

/// This process's processor time in milliseconds: the machine may be shared, and waiting for a
/// core is not the planner's time.
double cpuMilliseconds()
{
    return static_cast<double>(std::clock()) * 1000.0 / CLOCKS_PER_SEC;
}

struct Figures
{
    std::vector<double> times;
    void print(const char* what) const
    {
        std::vector<double> sorted = times;
        std::sort(sorted.begin(), sorted.end());
        double sum = 0.0;
        for (double t : sorted)
        {
            sum += t;
        }
        std::printf("%-24s %5zu decisions, processor time:  mean %7.3f ms  median %7.3f ms  max %7.3f ms\n",
                    what, sorted.size(), sum / static_cast<double>(sorted.size()), sorted[sorted.size() / 2],
                    sorted.back());
    }
};
} // namespace

namespace
{
void measure(Difficulty difficulty)
{
    const ComputerLevel& plays = ComputerLevel::of(difficulty);
    std::mt19937 random(2026);
    std::mt19937 choices(7);
    Figures runner;
    Figures builder;
    // A hint (F2) always asks the normal level, whatever the computer plays: measured once, with it.
    const bool hints = difficulty == Difficulty::Normal;
    Figures runnerHint;
    Figures builderHint;
    const RunnerPlanner runnerPlanner(plays.runner);
    const BuilderPlanner builderPlanner(plays.builder);
    for (int level = 0; level < 8; ++level)
    {
        rules::Match match;
        match.field = levelLike(random);
        rules::Field& field = match.field;
        for (int amber = 0; amber < 12; ++amber)
        {
            const Cell cell{std::uniform_int_distribution<int>(4, 45)(random),
                            std::uniform_int_distribution<int>(3, 13)(random)};
            // Amber blocks with the life they would have left at some point of their fading.
            const int lifeMs = std::uniform_int_distribution<int>(1, rules::Match::BlockLifeMs)(random);
            if (field.at(cell) == CellKind::Empty)
            {
                field.drop(cell, CellKind::Dynamic, lifeMs);
            }
        }
        for (int column = 0; column < 44; column += 4)
        {
            // The Runner standing on the first solid cell of the column, or at the start.
            Cell cell{0, 9};
            for (int y = 1; y < 15; ++y)
            {
                if (field.at({column, y}) != CellKind::Empty && field.at({column, y - 1}) == CellKind::Empty)
                {
                    cell = {column, y - 1};
                    break;
                }
            }
            match.runner = {cell, column % 8, 4};
            // What a 1920 x 1080 window shows: about 20 columns by 11 rows around the camera.
            const CellRange view{{std::max(0, cell.x - 6), 2}, {std::min(49, cell.x + 13), 12}};

            double start = cpuMilliseconds();
            (void)runnerPlanner.planTurn(match, &choices);
            runner.times.push_back(cpuMilliseconds() - start);
            if (hints)
            {
                match.turn = rules::Role::Runner;
                start = cpuMilliseconds();
                (void)HintPlanner::plan(match, view);
                runnerHint.times.push_back(cpuMilliseconds() - start);
                match.turn = rules::Role::Builder;
            }
            for (const rules::ObstacleShapes::Shape& shape : rules::ObstacleShapes::catalogue())
            {
                match.ghost = {true, shape, CellKind::Dynamic, {cell.x + 4, cell.y}};
                bool found = false;
                start = cpuMilliseconds();
                if (plays.builderAim == ComputerLevel::BuilderAim::NearCursor)
                {
                    (void)builderPlanner.chooseNearCursorDrop(match, view, choices, found);
                }
                else
                {
                    (void)builderPlanner.chooseDrop(match, view, found);
                }
                builder.times.push_back(cpuMilliseconds() - start);
                if (hints)
                {
                    start = cpuMilliseconds();
                    (void)HintPlanner::plan(match, view);
                    builderHint.times.push_back(cpuMilliseconds() - start);
                }
            }
        }
    }
    std::printf("== one decision of the computer players at %s, 50 x 15 field\n", difficultyName(difficulty));
    runner.print("Runner: plan a turn");
    builder.print("Builder: choose a drop");
    if (hints)
    {
        // Worked out on a thread of its own: a frame never waits for it; the budget is 50 ms.
        runnerHint.print("Hint (F2) for the Runner");
        builderHint.print("Hint (F2) for the Builder");
    }
}
} // namespace

int main()
{
    for (Difficulty difficulty : Difficulties)
    {
        measure(difficulty);
    }
    return 0;
}
