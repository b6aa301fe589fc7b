#include "screens/MenuState.h"

#include "core/ControllerInput.h"
#include "core/Game.h"
#include "core/GameStateManager.h"
#include "core/InputManager.h"
#include "core/NetworkFriend.h"
#include "replay/ReplayFile.h"
#include "replay/ReplayFolder.h"
#include "resources/AssetManager.h"
#include "resources/TraceRecorder.h"
#include "screens/ScreenHelper.h"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RenderWindow.hpp>

#include <algorithm>
#include <cmath>
#include <iostream>

namespace orv_gd
{
namespace
{
/// Time in state given to the very first visit, so the first Space is taken at once.
constexpr float FirstVisitTimeInState = 2.0f;

const sf::Color Grey(150, 150, 150);
const sf::Color Blue(14, 165, 233);
const sf::Color Amber(245, 158, 11);

/// The colour of the mode on the picture: blue for "you run", amber for "you build".
sf::Color modeColor(MatchMode mode)
{
    return mode == MatchMode::ComputerBuilder  ? Blue
           : mode == MatchMode::ComputerRunner ? Amber
                                               : sf::Color(220, 220, 220);
}

const char* modeTitle(MatchMode mode)
{
    return mode == MatchMode::ComputerBuilder  ? "1: you run, the computer builds"
           : mode == MatchMode::ComputerRunner ? "2: you build, the computer runs"
                                               : "3: the computer plays both roles";
}
} // namespace

MenuState::MenuState(GameStateManager* gameStateManager, Game* game)
    : GameState(gameStateManager, game), m_input(InputManager::getInstance()),
      m_controllers(ControllerInput::getInstance()), m_assets(AssetManager::getInstance())
{
}

void MenuState::init()
{
    TRACE_SCOPE("orv_gd::MenuState::init");
    if (NetworkFriend* networkFriend = m_game->getNetworkFriend())
    {
        networkFriend->leave();
    }
    // The folder may have changed while away: a match was kept, or the last one pruned.
    m_newestReplay =
        m_game->getReplayFolder().empty() ? std::string() : ReplayFolder(m_game->getReplayFolder()).newest();
    m_levels = m_game->getSettings().computer;
    m_pending.reset();
    if (m_isInit)
    {
        // The window may have changed its size while away.
        if (ScreenHelper::followWindow(m_game->getWindow(), m_view))
        {
            ScreenHelper::fitSpriteToWindow(m_sprite, m_game->getWindow());
        }
        placeTexts();
        return;
    }
    sf::RenderWindow& window = m_game->getWindow();
    m_view = window.getView();
    m_texture = m_assets.GetTexture("start");
    if (m_texture)
    {
        m_sprite.setTexture(*m_texture, true);
    }
    ScreenHelper::fitSpriteToWindow(m_sprite, window);
    m_timeInState = FirstVisitTimeInState;
    m_isInit = true;
    placeTexts();
}

void MenuState::setMessage(const std::string& message)
{
    m_message = message;
    placeTexts();
}

void MenuState::placeTexts()
{
    m_font = m_assets.GetFont("consolab");
    if (!m_font)
    {
        return;
    }
    // Sized and placed by the picture, so they sit alike at any window size: the settings and the
    // replay beside the picture's "quit", network play under it, a message over the top band,
    // clear of the title.
    const sf::FloatRect picture = m_sprite.getGlobalBounds();
    const unsigned size = static_cast<unsigned>(std::max(12.0f, picture.height * 0.03f));
    const auto place = [&](sf::Text& text, const std::string& line, float across, float down, sf::Color color)
    {
        text.setFont(*m_font);
        text.setString(line);
        text.setCharacterSize(size);
        text.setFillColor(color);
        const sf::FloatRect bounds = text.getLocalBounds();
        // `across` places the text's middle; a text that would pass an edge of the picture ends there.
        const float middle = std::clamp(picture.width * across, picture.width * 0.02f + bounds.width / 2.0f,
                                        picture.width * 0.98f - bounds.width / 2.0f);
        text.setOrigin(std::round(bounds.left + bounds.width / 2.0f),
                       std::round(bounds.top + bounds.height / 2.0f));
        text.setPosition(std::round(picture.left + middle), std::round(picture.top + picture.height * down));
    };
    const sf::Color hint(200, 200, 200);
    place(m_settingsText, "S / (Back): settings", 0.0f, 0.94f, hint);
    place(m_hintText, "W: watch the last match", 1.0f, 0.94f, hint);
    place(m_networkText, "H: host a network match   J: join one", 0.5f, 0.985f, hint);
    // A long message (a replay's path and why it did not open) wraps onto a second line, and
    // what does not fit on two is cut short, so its letters keep the hints' size.
    m_messageTexts.clear();
    const float advance = m_font->getGlyph('M', size, false).advance;
    const std::size_t perLine =
        std::max<std::size_t>(8, static_cast<std::size_t>(picture.width * 0.96f / std::max(1.0f, advance)));
    const std::vector<std::string> lines = wrapLines(m_message, perLine, 2);
    for (std::size_t i = 0; i < lines.size(); ++i)
    {
        m_messageTexts.emplace_back();
        place(m_messageTexts.back(), lines[i], 0.5f, 0.03f + 0.045f * static_cast<float>(i),
              ScreenHelper::ErrorColor);
    }
    placePanel(picture, static_cast<unsigned>(std::max(12.0f, picture.height * 0.032f)));
}

std::vector<std::string> MenuState::wrapLines(const std::string& text, std::size_t perLine, std::size_t most)
{
    std::vector<std::string> lines;
    std::size_t from = 0;
    while (from < text.size() && lines.size() < most)
    {
        std::size_t end = std::min(text.size(), from + perLine);
        if (end < text.size())
        {
            // Break after the last space that fits; a word longer than a line (a path) breaks anywhere.
            const std::size_t space = text.rfind(' ', end);
            end = space != std::string::npos && space > from ? space + 1 : end;
        }
        lines.push_back(text.substr(from, end - from));
        from = end;
    }
    if (from < text.size() && !lines.empty())
    {
        std::string& last = lines.back();
        last = last.substr(0, std::min(last.size(), perLine - 3)) + "...";
    }
    return lines;
}

std::vector<const sf::Text*> MenuState::getTexts() const
{
    std::vector<const sf::Text*> shown;
    if (!m_font)
    {
        return shown;
    }
    shown.push_back(&m_settingsText);
    if (!m_newestReplay.empty())
    {
        shown.push_back(&m_hintText);
    }
    if (m_gameStateManager->findState("HostState"))
    {
        shown.push_back(&m_networkText);
    }
    for (const sf::Text& line : m_messageTexts)
    {
        shown.push_back(&line);
    }
    return shown;
}

void MenuState::placePanel(const sf::FloatRect& picture, unsigned size)
{
    m_panelTexts.clear();
    if (!m_pending || !m_font)
    {
        return;
    }
    const MatchMode mode = *m_pending;
    // Lines of coloured pieces, each line centred; the panel covers the picture's drawing band.
    using Piece = std::pair<std::string, sf::Color>;
    std::vector<std::vector<Piece>> lines;
    lines.push_back({{modeTitle(mode), modeColor(mode)}});
    const auto levelLine = [&](const std::string& label, Difficulty chosen, bool active)
    {
        std::vector<Piece> line{{(active ? "> " : "  ") + label, active ? sf::Color::White : Grey}};
        for (Difficulty level : Difficulties)
        {
            const std::string name = difficultyName(level);
            line.push_back({level == chosen ? "  [" + name + "]" : "   " + name + " ",
                            level == chosen ? (active ? modeColor(mode) : sf::Color::White) : Grey});
        }
        return line;
    };
    if (mode == MatchMode::ComputerBoth)
    {
        lines.push_back(levelLine("Runner difficulty: ", m_levels.runner, m_levelRow == 0));
        lines.push_back(levelLine("Builder difficulty:", m_levels.builder, m_levelRow == 1));
        lines.push_back({{"Up/Down: role   Left/Right: difficulty", Grey}});
    }
    else
    {
        lines.push_back(
            levelLine("difficulty:", computerRuns(mode) ? m_levels.runner : m_levels.builder, true));
        lines.push_back({{"Left/Right: difficulty", Grey}});
    }
    lines.push_back({{"Space/Enter: start   Esc: back", Grey}});

    const float lineHeight = static_cast<float>(size) * 1.6f;
    const float top =
        picture.top + picture.height * 0.58f - lineHeight * static_cast<float>(lines.size()) / 2.0f;
    float widest = 0.0f;
    for (std::size_t row = 0; row < lines.size(); ++row)
    {
        const std::size_t first = m_panelTexts.size();
        float width = 0.0f;
        for (const Piece& piece : lines[row])
        {
            sf::Text text(piece.first, *m_font, size);
            text.setFillColor(piece.second);
            text.setPosition(width, 0.0f);
            width += text.getLocalBounds().left + text.getLocalBounds().width +
                     (piece.first.back() == ' ' ? m_font->getGlyph(' ', size, true).advance : 0.0f);
            m_panelTexts.push_back(text);
        }
        widest = std::max(widest, width);
        const float left = std::round(picture.left + (picture.width - width) / 2.0f);
        const float y = std::round(top + lineHeight * static_cast<float>(row));
        for (std::size_t i = first; i < m_panelTexts.size(); ++i)
        {
            m_panelTexts[i].move(left, y);
        }
    }
    const float margin = static_cast<float>(size);
    m_panel.setSize({widest + 2.0f * margin, lineHeight * static_cast<float>(lines.size()) + margin});
    m_panel.setPosition(std::round(picture.left + (picture.width - m_panel.getSize().x) / 2.0f),
                        std::round(top - margin * 0.5f));
    m_panel.setFillColor(sf::Color(22, 22, 22, 245));
    m_panel.setOutlineColor(modeColor(mode));
    m_panel.setOutlineThickness(std::max(1.0f, std::round(static_cast<float>(size) / 12.0f)));
}

void MenuState::watchLast()
{
    rules::ReplayFile::Replay replay;
    std::string error;
    if (!rules::ReplayFile::loadChecked(m_newestReplay, replay, error))
    {
        std::cerr << "tumbrelt: " << error << std::endl;
        setMessage(error);
        return;
    }
    setMessage("");
    m_game->watch(replay.log, "MenuState");
}

void MenuState::exit()
{
    TRACE_SCOPE("orv_gd::MenuState::exit");
    m_game->getGui().removeAllWidgets();
    GameState::exit();
}

void MenuState::update(float deltaTime)
{
    TRACE_SCOPE("orv_gd::MenuState::update");
    m_timeInState += deltaTime;
    sf::RenderWindow& window = m_game->getWindow();
    window.setView(m_view);
    if (ScreenHelper::followWindow(window, m_view))
    {
        ScreenHelper::fitSpriteToWindow(m_sprite, window);
        placeTexts();
    }

    // The delay keeps the Space that left the end screen from skipping the menu as well.
    if (m_timeInState > MenuInputDelay)
    {
        if (m_pending)
        {
            updateOffer();
        }
        else if (m_input.isKeyPressed("Select", 0))
        {
            choose(MatchMode::TwoPlayers);
        }
        if (m_input.isKeyPressed("PlayRunner", 0))
        {
            offer(MatchMode::ComputerBuilder);
        }
        if (m_input.isKeyPressed("PlayBuilder", 0))
        {
            offer(MatchMode::ComputerRunner);
        }
        if (m_input.isKeyPressed("WatchComputers", 0))
        {
            offer(MatchMode::ComputerBoth);
        }
        if (m_input.isKeyPressed("WatchLast", 0) && !m_newestReplay.empty())
        {
            watchLast();
        }
        if (m_input.isKeyPressed("Settings", 0))
        {
            m_gameStateManager->setState("SettingsState");
        }
        for (const char* screen : {"Host", "Join"})
        {
            if (m_input.isKeyPressed(screen, 0) &&
                m_gameStateManager->findState(std::string(screen) + "State"))
            {
                setMessage("");
                m_gameStateManager->setState(std::string(screen) + "State");
            }
        }
    }
    if (m_input.isKeyPressed("Exit", 0))
    {
        if (m_pending)
        {
            m_pending.reset();
            placeTexts();
        }
        else
        {
            ScreenHelper::closeGame(window);
        }
    }
    registerGamepads();
}

void MenuState::offer(MatchMode mode)
{
    setMessage("");
    m_pending = mode;
    m_levelRow = mode == MatchMode::ComputerBuilder ? 1 : 0;
    placeTexts();
}

void MenuState::updateOffer()
{
    if (m_input.isKeyPressed(sf::Keyboard::Left))
    {
        changeLevel(-1);
    }
    if (m_input.isKeyPressed(sf::Keyboard::Right))
    {
        changeLevel(1);
    }
    if (*m_pending == MatchMode::ComputerBoth &&
        (m_input.isKeyPressed(sf::Keyboard::Up) || m_input.isKeyPressed(sf::Keyboard::Down)))
    {
        m_levelRow = 1 - m_levelRow;
        placeTexts();
    }
    if (m_input.isKeyPressed("Select", 0) || m_input.isKeyPressed(sf::Keyboard::Enter))
    {
        choose(*m_pending);
    }
}

void MenuState::changeLevel(int by)
{
    Difficulty& level = m_levelRow == 0 ? m_levels.runner : m_levels.builder;
    level = static_cast<Difficulty>(std::clamp(static_cast<int>(level) + by, 0, 2));
    placeTexts();
}

void MenuState::choose(MatchMode mode)
{
    setMessage("");
    if (mode != MatchMode::TwoPlayers)
    {
        m_game->rememberComputerLevels(m_levels);
    }
    m_pending.reset();
    m_game->setMatchMode(mode);
    m_gameStateManager->setState("TutorialState");
}

void MenuState::draw()
{
    TRACE_SCOPE("orv_gd::MenuState::draw");
    sf::RenderWindow& window = m_game->getWindow();
    ScreenHelper::drawPicture(window, m_sprite);
    for (const sf::Text* text : getTexts())
    {
        window.draw(*text);
    }
    if (m_pending && !m_panelTexts.empty())
    {
        window.draw(m_panel);
        for (const sf::Text& text : m_panelTexts)
        {
            window.draw(text);
        }
    }
}

void MenuState::registerGamepads()
{
    TRACE_SCOPE("orv_gd::MenuState::registerGamepads");
    // Buttons count while held: the delay, not an edge, keeps a held button from repeating.
    if (m_timeInState <= MenuInputDelay)
    {
        return;
    }
    if (ScreenHelper::isButtonHeld(m_controllers, ScreenHelper::SelectButton))
    {
        choose(m_pending.value_or(MatchMode::TwoPlayers));
    }
    if (ScreenHelper::isButtonHeld(m_controllers, PlayRunnerButton))
    {
        offer(MatchMode::ComputerBuilder);
    }
    if (ScreenHelper::isButtonHeld(m_controllers, PlayBuilderButton))
    {
        offer(MatchMode::ComputerRunner);
    }
    if (ScreenHelper::isButtonHeld(m_controllers, ScreenHelper::ExitButton))
    {
        ScreenHelper::closeGame(m_game->getWindow());
    }
    if (ScreenHelper::isButtonHeld(m_controllers, ControllerInput::ButtonBack))
    {
        m_gameStateManager->setState("SettingsState");
    }
}
} // namespace orv_gd
