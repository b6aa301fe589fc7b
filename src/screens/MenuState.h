#pragma once

#include "core/GameState.h"
#include "core/MatchMode.h"

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Graphics/View.hpp>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sf
{
class Font;
class Texture;
} // namespace sf

namespace orv_gd
{
class AssetManager;
class ControllerInput;
class InputManager;

/// The title screen: Space (or button 0) leads to the tutorial for two players; 1 (or button 2),
/// 2 (or button 3) and 3 choose a match against the computer or of the computer alone and show
/// the computer's difficulty (one line per computer role, Up/Down between them, Left/Right to
/// change, the last choice kept in the settings), which Space or Enter (or button 0) then starts
/// and Escape puts away; S (or the Back button) opens the settings; W watches the newest replay,
/// when the replay folder holds one; H hosts a network match and J joins one, when the game has
/// those screens; Escape (or button 1) quits. Coming back here ends a network match: the friend's
/// game is told.
class MenuState : public GameState
{
public:
    static constexpr float MenuInputDelay = 0.2f;

    MenuState(GameStateManager* gameStateManager, Game* game);

    void init() override;
    void exit() override;
    void update(float deltaTime) override;
    void draw() override;

    void registerGamepads();

    /// Controller buttons that choose a match against the computer (X and Y on most pads).
    static constexpr unsigned PlayRunnerButton = 2;
    static constexpr unsigned PlayBuilderButton = 3;

    const sf::Sprite& getSprite() const { return m_sprite; }

    /// A message shown over the picture until a key is chosen (a replay that would not open, a
    /// lost connection): on one line, or two when long.
    void setMessage(const std::string& message) override;
    /// The texts drawn over the picture: the keys' hints and the message's lines.
    std::vector<const sf::Text*> getTexts() const;
    /// `text` in lines of at most `perLine` characters, broken after a space where one fits; at
    /// most `most` lines, the last ending in "..." when the text goes on.
    static std::vector<std::string> wrapLines(const std::string& text, std::size_t perLine, std::size_t most);
    const std::string& getMessage() const { return m_message; }
    /// The newest replay W opens; empty when there is none (and no hint is shown).
    const std::string& getNewestReplay() const { return m_newestReplay; }
    /// The computer mode chosen with 1, 2 or 3 and waiting for Space or Enter; none before.
    std::optional<MatchMode> getPendingMode() const { return m_pending; }
    /// The levels the difficulty lines show.
    const ComputerLevels& getLevels() const { return m_levels; }
    /// The difficulty line Left/Right change: 0 the Runner's, 1 the Builder's (both only in mode 3).
    int getLevelRow() const { return m_levelRow; }

private:
    /// Sets who plays which role and goes on to the tutorial.
    void choose(MatchMode mode);
    /// Shows the difficulty of the computer's roles in `mode`, to be started with Space or Enter.
    void offer(MatchMode mode);
    /// The keys of the difficulty lines while a computer mode waits.
    void updateOffer();
    /// The level the chosen line shows, one step easier (-1) or harder (+1), at most hard.
    void changeLevel(int by);
    /// The panel with the difficulty lines, laid out for the mode waiting.
    void placePanel(const sf::FloatRect& picture, unsigned size);
    /// Opens the newest replay on the match screen, or says on screen why not.
    void watchLast();
    /// Places the hint and the message over the picture's bottom band.
    void placeTexts();

    sf::Sprite m_sprite;
    sf::View m_view;
    bool m_isInit = false;

    /// Keeps the picture alive even if its id is loaded again later.
    std::shared_ptr<sf::Texture> m_texture;
    InputManager& m_input;
    ControllerInput& m_controllers;
    AssetManager& m_assets;

    std::string m_newestReplay;
    std::string m_message;
    sf::Text m_settingsText;
    sf::Text m_hintText;
    std::vector<sf::Text> m_messageTexts;
    sf::Text m_networkText;
    std::shared_ptr<sf::Font> m_font;

    std::optional<MatchMode> m_pending;
    ComputerLevels m_levels;
    int m_levelRow = 0;
    sf::RectangleShape m_panel;
    std::vector<sf::Text> m_panelTexts;
};
} // namespace orv_gd
