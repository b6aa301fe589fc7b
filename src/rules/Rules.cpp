#include "rules/Rules.h"

#include "rules/RunnerMoves.h"

#include <algorithm>

namespace orv_gd::rules
{
namespace
{
Event event(Event::Kind kind)
{
    Event e;
    e.kind = kind;
    return e;
}

void refuse(Events& events, Refusal why)
{
    Event e = event(Event::Kind::Refused);
    e.why = why;
    events.push_back(e);
}

void win(Match& match, Role winner, WinReason how, Events& events)
{
    if (match.over)
    {
        return;
    }
    match.over = true;
    match.winner = winner;
    match.how = how;
    Event e = event(Event::Kind::MatchWon);
    e.role = winner;
    e.how = how;
    events.push_back(e);
}

void moveRunner(Match& match, Cell to, Motion motion, Events& events)
{
    if (to == match.runner.cell)
    {
        return;
    }
    Event e = event(Event::Kind::RunnerMoved);
    e.from = match.runner.cell;
    e.to = to;
    e.motion = motion;
    match.runner.cell = to;
    events.push_back(e);
}

/// Tells of the reset the Runner just made from `from`: the move back, the resets left, and the
/// match lost at the third.
void announceReset(Match& match, Cell from, ResetCause cause, Events& events)
{
    match.lastReset = cause;
    if (from != match.runner.cell)
    {
        Event moved = event(Event::Kind::RunnerMoved);
        moved.from = from;
        moved.to = match.runner.cell;
        moved.motion = Motion::Reset;
        events.push_back(moved);
    }
    Event e = event(Event::Kind::Reset);
    e.cause = cause;
    e.resets = match.resetsLeft;
    events.push_back(e);
    if (match.resetsLeft < 0)
    {
        win(match, Role::Builder, WinReason::ThirdReset, events);
    }
}

void reset(Match& match, ResetCause cause, Events& events)
{
    const Cell from = match.runner.cell;
    Rules::resetRunner(match.field, match.runner, match.resetsLeft);
    announceReset(match, from, cause, events);
}

/// The next block, drawn as it always was: the shape, its quarter turns, then green for a single
/// cell on an even draw, else white on one draw in eight.
void deal(Match& match, Events& events)
{
    const std::vector<ObstacleShapes::Shape>& shapes = ObstacleShapes::catalogue();
    const ObstacleShapes::Shape& shape = shapes[static_cast<std::size_t>(match.rng.next()) % shapes.size()];
    match.ghost.shape = ObstacleShapes::rotateShape(shape, match.rng.next() % 4);
    match.ghost.kind = CellKind::Dynamic;
    if (match.ghost.shape.size() == 1 && match.rng.next() % 2 == 0)
    {
        match.ghost.kind = CellKind::Finish;
    }
    else if (match.rng.next() % 8 == 0)
    {
        match.ghost.kind = CellKind::Static;
    }
    match.ghost.present = true;
    events.push_back(event(Event::Kind::BlockDealt));
}

void beginTurn(Match& match, Role role, Events& events);

void endTurn(Match& match, Events& events)
{
    const Role ending = match.turn;
    Event ended = event(Event::Kind::TurnEnded);
    ended.role = ending;
    events.push_back(ended);
    if (ending == Role::Builder)
    {
        match.ghost.present = false;
        beginTurn(match, Role::Runner, events);
        return;
    }
    events.push_back(event(Event::Kind::GravityStarted));
    std::vector<std::pair<Cell, Cell>> falls;
    const Cell runner = match.runner.cell;
    match.runner.cell = RunnerMoves::gravity(match.field, runner, &falls);
    for (const auto& [from, to] : falls)
    {
        Event e = event(from == runner ? Event::Kind::RunnerMoved : Event::Kind::CellFell);
        e.from = from;
        e.to = to;
        e.motion = Motion::Gravity;
        events.push_back(e);
    }
    match.turnsLeft -= 1;
    if (match.runnerTurnsLeft() < 1)
    {
        win(match, Role::Builder, WinReason::OutOfTurns, events);
        return;
    }
    beginTurn(match, Role::Builder, events);
}

/// With no step and no jump left the Runner's turn is over.
void endSpentTurn(Match& match, Events& events)
{
    if (match.runnerActs() && match.runner.moves < 1 && match.runner.jumpForce < 1)
    {
        endTurn(match, events);
    }
}

void beginTurn(Match& match, Role role, Events& events)
{
    match.turn = role;
    match.turnNumber += 1;
    match.turnMs = 0;
    Event began = event(Event::Kind::TurnBegan);
    began.role = role;
    began.digest = match.digest();
    events.push_back(began);
    if (role == Role::Builder)
    {
        match.blocksLeft = Match::BlocksPerTurn;
        // In front of the Runner, unless the Runner is close to the finish: then behind it.
        const Cell runner = match.runner.cell;
        match.ghost.cursor = runner.x > match.field.getWidth() - 10 ? Cell{runner.x - 3, runner.y}
                                                                    : Cell{runner.x + 4, runner.y};
        deal(match, events);
        return;
    }
    const Cell from = match.runner.cell;
    if (Rules::beginRunnerTurn(match.field, match.runner, match.resetsLeft))
    {
        announceReset(match, from, ResetCause::WalledIn, events);
        endSpentTurn(match, events);
    }
}

void stepRunner(Match& match, RunnerMoves::Move move, Events& events)
{
    const RunnerMoves::Result result = RunnerMoves::move(match.field, match.runner, move);
    if (result.outcome == RunnerMoves::Outcome::Refused)
    {
        refuse(events, move == RunnerMoves::Move::Up ? Refusal::NoJumpForce : Refusal::NoMovesLeft);
        return;
    }
    Event began = event(Event::Kind::StepBegan);
    began.moves = match.runner.moves;
    began.force = match.runner.jumpForce;
    events.push_back(began);
    if (result.blocked)
    {
        Event blocked = event(Event::Kind::CantMove);
        blocked.to = result.target;
        events.push_back(blocked);
    }
    switch (result.outcome)
    {
    case RunnerMoves::Outcome::Finished:
        moveRunner(match, result.state.cell, Motion::Finish, events);
        match.reachedFinish = true;
        match.finishMs = 0;
        break;
    case RunnerMoves::Outcome::Moved:
        moveRunner(match, result.stepped, Motion::Step, events);
        moveRunner(match, result.state.cell, Motion::Fall, events);
        break;
    case RunnerMoves::Outcome::Bumped:
        moveRunner(match, result.state.cell, Motion::Bump, events);
        break;
    case RunnerMoves::Outcome::Fell:
        reset(match, ResetCause::Fell, events);
        break;
    default:
        break;
    }
    if (result.outcome == RunnerMoves::Outcome::Bumped || result.outcome == RunnerMoves::Outcome::Moved ||
        result.outcome == RunnerMoves::Outcome::Finished)
    {
        match.runner.moves = result.state.moves;
        match.runner.jumpForce = result.state.jumpForce;
    }
    if (result.outcome == RunnerMoves::Outcome::Moved || result.outcome == RunnerMoves::Outcome::Finished)
    {
        Event ended = event(Event::Kind::StepEnded);
        ended.moves = match.runner.moves;
        ended.force = match.runner.jumpForce;
        events.push_back(ended);
    }
    // Whatever the step came to, a Runner left without a free cell around it starts again.
    if (!match.reachedFinish && !match.over && RunnerMoves::isTrapped(match.field, match.runner.cell))
    {
        reset(match, ResetCause::WalledIn, events);
    }
}

void applyRunner(Match& match, const Action& action, Events& events)
{
    switch (action.kind)
    {
    case Action::Kind::StepLeft:
        stepRunner(match, RunnerMoves::Move::Left, events);
        break;
    case Action::Kind::StepRight:
        stepRunner(match, RunnerMoves::Move::Right, events);
        break;
    case Action::Kind::Jump:
        stepRunner(match, RunnerMoves::Move::Up, events);
        break;
    case Action::Kind::EndTurn:
        events.push_back(event(Event::Kind::EndAsked));
        endTurn(match, events);
        return;
    case Action::Kind::Reset:
        reset(match, ResetCause::Asked, events);
        break;
    default:
        refuse(events, Refusal::BadAction);
        return;
    }
    endSpentTurn(match, events);
}

void moveCursor(Match& match, Cell by, Events& events)
{
    if (by == Cell{} || by.x < -1 || by.x > 1 || by.y < -1 || by.y > 1)
    {
        refuse(events, Refusal::BadAction);
        return;
    }
    const Cell from = match.ghost.cursor;
    const Cell to = from + by;
    if (!match.field.isInside(to))
    {
        refuse(events, Refusal::OutOfMap);
        return;
    }
    // A move may not push a cell out of the map; cells a rotation left outside may come along,
    // so that such a block can always be steered back in.
    for (const Cell& offset : match.ghost.shape)
    {
        if (match.field.isInside(from + offset) && !match.field.isInside(to + offset))
        {
            refuse(events, Refusal::OutOfMap);
            return;
        }
    }
    match.ghost.cursor = to;
    Event e = event(Event::Kind::CursorMoved);
    e.from = from;
    e.to = to;
    events.push_back(e);
}

void drop(Match& match, Cell at, Events& events)
{
    if (at != match.ghost.cursor)
    {
        refuse(events, Refusal::NotAtCursor);
        return;
    }
    if (const Refusal problem = Rules::dropProblem(match, match.ghost.shape, at); problem != Refusal::None)
    {
        refuse(events, problem);
        return;
    }
    Rules::place(match.field, match.ghost.shape, match.ghost.kind, at, &events);
    match.ghost.present = false;
    match.blocksLeft -= 1;
    Event dropped = event(Event::Kind::Dropped);
    dropped.blocks = match.blocksLeft;
    events.push_back(dropped);
    if (match.blocksLeft < 1)
    {
        endTurn(match, events);
        return;
    }
    deal(match, events);
}

void applyBuilder(Match& match, const Action& action, Events& events)
{
    if (!match.ghost.present)
    {
        refuse(events, Refusal::NoBlock);
        return;
    }
    switch (action.kind)
    {
    case Action::Kind::MoveCursor:
        moveCursor(match, action.cell, events);
        break;
    case Action::Kind::Rotate:
    {
        match.ghost.shape = ObstacleShapes::rotateShape(match.ghost.shape, action.quarterTurns);
        Event e = event(Event::Kind::Rotated);
        e.quarterTurns = action.quarterTurns;
        events.push_back(e);
        break;
    }
    case Action::Kind::Drop:
        drop(match, action.cell, events);
        break;
    default:
        refuse(events, Refusal::BadAction);
        break;
    }
}
} // namespace

Match Rules::start(const Rng& rng, const MatchConfig& config, Level* level, Events* events)
{
    Match match;
    // Numbers from outside (a replay, a friend) stay within what a level and a turn can be.
    match.config.width = std::clamp(config.width, MatchConfig::MinWidth, MatchConfig::MaxWidth);
    match.config.height = std::clamp(config.height, MatchConfig::MinHeight, MatchConfig::MaxHeight);
    match.config.turnLimitMs =
        std::clamp(config.turnLimitMs, MatchConfig::MinTurnLimitMs, MatchConfig::MaxTurnLimitMs);
    match.rng = rng;
    const Level layout = Level::generate(match.rng, match.config.width, match.config.height);
    match.field = layout.toField();
    match.runner = {Match::startCell(match.config.height), 0, Match::MovesPerTurn};
    Events started;
    beginTurn(match, Role::Builder, started);
    if (level)
    {
        *level = layout;
    }
    if (events)
    {
        *events = std::move(started);
    }
    return match;
}

Events Rules::apply(Match& match, const Action& action)
{
    Events events;
    apply(match, action, events);
    return events;
}

void Rules::apply(Match& match, const Action& action, Events& events)
{
    if (action.isRunners() ? !match.runnerActs() : !match.builderActs())
    {
        refuse(events, Refusal::NotYourTurn);
        return;
    }
    if (action.isRunners())
    {
        applyRunner(match, action, events);
    }
    else
    {
        applyBuilder(match, action, events);
    }
}

Events Rules::advance(Match& match, int ms)
{
    Events events;
    advance(match, ms, events);
    return events;
}

void Rules::advance(Match& match, int ms, Events& events)
{
    std::vector<Cell> expired;
    while (ms > 0 && !match.over)
    {
        if (match.reachedFinish)
        {
            match.finishMs = std::min(match.finishMs + ms, Match::FinishDelayMs);
            if (match.finishMs >= Match::FinishDelayMs)
            {
                win(match, Role::Runner, WinReason::ReachedFinish, events);
            }
            return;
        }
        const int step = std::clamp(match.config.turnLimitMs - match.turnMs, 0, ms);
        ms -= step;
        match.turnMs += step;
        // Blocks age only in the Builder's time.
        if (match.turn == Role::Builder)
        {
            expired.clear();
            match.field.age(step, expired);
            for (const Cell& cell : expired)
            {
                Event e = event(Event::Kind::CellExpired);
                e.to = cell;
                events.push_back(e);
            }
        }
        if (match.turnMs >= match.config.turnLimitMs)
        {
            endTurn(match, events);
        }
    }
}

int Rules::msToTurnEnd(const Match& match)
{
    if (match.over)
    {
        return 0;
    }
    return match.reachedFinish ? Match::FinishDelayMs - match.finishMs
                               : std::max(match.config.turnLimitMs - match.turnMs, 0);
}

Refusal Rules::dropProblem(const Match& match, const ObstacleShapes::Shape& shape, Cell cursor)
{
    const int firstFinishColumn = match.field.getWidth() - Match::FinishColumns;
    Refusal problem = Refusal::None;
    for (const Cell& offset : shape)
    {
        const Cell cell = cursor + offset;
        if (match.onSafeZone(cell))
        {
            return Refusal::OnSafeZone;
        }
        if (cell.x >= firstFinishColumn)
        {
            problem = Refusal::InFinishColumns;
        }
    }
    return problem;
}

bool Rules::lands(const Field& field, Cell cell, CellKind kind)
{
    return field.isInside(cell) && (kind == CellKind::Finish || !field.isSolid(cell));
}

void Rules::place(Field& field, const ObstacleShapes::Shape& shape, CellKind kind, Cell cursor,
                  Events* events)
{
    for (const Cell& offset : shape)
    {
        const Cell cell = cursor + offset;
        const bool landed = lands(field, cell, kind);
        if (landed)
        {
            field.drop(cell, kind, kind == CellKind::Static ? 0 : Match::BlockLifeMs);
        }
        if (events)
        {
            Event e = event(landed ? Event::Kind::CellPlaced : Event::Kind::CellSkipped);
            e.to = cell;
            e.cellKind = kind;
            events->push_back(e);
        }
    }
}

void Rules::resetRunner(const Field& field, RunnerState& runner, int& resetsLeft)
{
    resetsLeft -= 1;
    runner = {RunnerMoves::resetCell(field, runner.cell), 0, 0};
}

bool Rules::beginRunnerTurn(const Field& field, RunnerState& runner, int& resetsLeft)
{
    runner.moves = Match::MovesPerTurn;
    if (!RunnerMoves::isTrapped(field, runner.cell))
    {
        return false;
    }
    resetRunner(field, runner, resetsLeft);
    return true;
}

Cell Rules::betweenTurns(Field& field, Cell runner, int builderMs)
{
    const Cell fallen = RunnerMoves::gravity(field, runner);
    if (builderMs > 0)
    {
        std::vector<Cell> expired;
        field.age(builderMs, expired);
    }
    return fallen;
}

void Rules::handOver(Field& field, RunnerState& runner, int& resetsLeft, int builderMs)
{
    runner.cell = betweenTurns(field, runner.cell, builderMs);
    beginRunnerTurn(field, runner, resetsLeft);
}
} // namespace orv_gd::rules
