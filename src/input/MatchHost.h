#pragma once

namespace sf
{
class RenderWindow;
}

namespace orv_gd
{
namespace rules
{
struct Action;
struct Match;
} // namespace rules

/// What a role on screen needs of the match it plays in: the rules' state of the match, the way to
/// act in it, and the window. The match screen is one; the roles never need more of it.
class MatchHost
{
public:
    virtual ~MatchHost() = default;

    /// The match as the rules hold it.
    virtual const rules::Match& getMatch() const = 0;
    /// Sets up a scene outside the turn rules (tests and tools).
    virtual rules::Match& editMatch() = 0;
    /// Hands an action to the rules and shows what happened; false when they refused it.
    virtual bool act(const rules::Action& action) = 0;
    virtual sf::RenderWindow& getWindow() const = 0;
};
} // namespace orv_gd
