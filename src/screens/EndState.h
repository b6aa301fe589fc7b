#pragma once

#include "core/GameState.h"
#include "rules/MatchLog.h"
#include "screens/ScreenHelper.h"

#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Graphics/View.hpp>

#include <memory>
#include <optional>
#include <string>

namespace sf
{
class Font;
class Texture;
} // namespace sf

namespace orv_gd
{
class AssetManager;
class InputManager;

/// Shows the winner's picture with one line on how the match ended and plays "win"; Space or
/// controller button 0 returns to the menu, Escape or controller button 1 quits; V watches the match
/// again.
class EndState : public GameState
{
public:
    EndState(GameStateManager* gameStateManager, Game* game);

    void init() override;
    void exit() override;
    void update(float deltaTime) override;
    void draw() override;
    void setWinner(StrategyType winner) override;
    /// The friend of a network match leaving after it: the end screen stays, the line goes to stderr.
    bool showNetworkProblem(const std::string& problem) override
    {
        (void)problem;
        return true;
    }

    StrategyType getWinner() const { return m_winner; }
    const sf::Sprite& getSprite() const { return m_sprite; }
    /// The line under the picture's scene ("ran out of turns" ...); set by the match before init.
    void setSummary(const std::string& summary) { m_summary = summary; }
    const std::string& getSummary() const { return m_summary; }
    const sf::Text& getSummaryText() const { return m_summaryText; }
    /// The match just played, for "V: watch again"; set by the match before init.
    void setLastMatch(const std::optional<rules::MatchLog>& log) { m_lastMatch = log; }
    const std::optional<rules::MatchLog>& getLastMatch() const { return m_lastMatch; }

private:
    void placeSummary();

    sf::Sprite m_sprite;
    sf::View m_view;
    StrategyType m_winner = StrategyType::Runner;
    /// Per controller slot: button 1 has been seen up since this screen became current. It is also
    /// the Runner's "end turn", so the press that ended the match must not quit the game.
    ScreenHelper::ReleasedButtons m_exitButtonReleased{};

    /// Keeps the winner's picture alive even if its id is loaded again later.
    std::shared_ptr<sf::Texture> m_texture;
    std::string m_summary;
    sf::Text m_summaryText;
    std::optional<rules::MatchLog> m_lastMatch;
    sf::Text m_watchText;
    /// Keeps the font of the summary alive while the text points at it.
    std::shared_ptr<sf::Font> m_font;
    InputManager& m_input;
    ControllerInput& m_controllers;
    AssetManager& m_assets;
};
} // namespace orv_gd
