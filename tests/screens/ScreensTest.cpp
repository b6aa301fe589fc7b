#include "core/ControllerInput.h"
#include "core/Game.h"
#include "core/InputManager.h"
#include "core/Settings.h"
#include "replay/ReplayFolder.h"
#include "resources/AssetCatalogue.h"
#include "resources/AssetManager.h"
#include "screens/EndState.h"
#include "screens/MenuState.h"
#include "screens/ScreenHelper.h"
#include "screens/TutorialState.h"
#include "support/InputRestore.h"
#include "support/RecordingState.h"
#include "support/TempWorkDir.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/System/Sleep.hpp>
#include <SFML/Window/Event.hpp>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

namespace orv_gd
{
/// The picture screens in a real Game with an 800x600 window, simulated controllers and a stand-in match.
struct ScreensTest : ::testing::Test
{
    ScreensTest()
    {
        ::testing::internal::CaptureStdout(); // until output() reads it or the test ends
        m_game.initInputBindings();
        AssetCatalogue::getInstance().loadAssets();
        m_controllers.setSimulated(true);
        m_states.registerState("MenuState", m_menu);
        m_states.registerState("TutorialState", m_tutorial);
        m_states.registerState("EndState", m_end);
        m_states.registerState("MainState", m_match);
        m_game.getWindow().create(sf::VideoMode(800, 600), "test", sf::Style::None);
    }

    /// Frames as the game runs them: the input tables shift, then the state manager updates.
    void frames(int count, float dt = 1.0f / 60.0f)
    {
        for (int i = 0; i < count; ++i)
        {
            m_input.update();
            m_states.update(dt);
        }
    }
    /// A key goes down or up, then that many frames run.
    void key(sf::Keyboard::Key code, bool down, int count = 0, float dt = 1.0f / 60.0f)
    {
        test::sendKey(code, down);
        frames(count, dt);
    }
    /// Each key down for a frame, then up for a frame.
    void press(std::initializer_list<sf::Keyboard::Key> codes)
    {
        for (const sf::Keyboard::Key code : codes)
        {
            key(code, true, 1);
            key(code, false, 1);
        }
    }
    /// A match ends as the match screen ends it: the end screen requested, told the winner, its init called.
    void finishMatch(StrategyType winner)
    {
        m_states.setState("MainState");
        frames(1);
        m_states.setState("EndState");
        m_end->setWinner(winner);
        m_end->init();
    }
    ~ScreensTest() override { output(); }
    std::string output()
    {
        std::string text = m_capturing ? ::testing::internal::GetCapturedStdout() : "";
        m_capturing = false;
        return text;
    }
    bool isCurrent(const GameState* state) { return m_states.getCurrentState() == state; }
    /// What the window shows now.
    sf::Image shown()
    {
        sf::Texture texture;
        texture.create(m_game.getWindow().getSize().x, m_game.getWindow().getSize().y);
        texture.update(m_game.getWindow());
        return texture.copyToImage();
    }
    const sf::Texture* texture(const char* id) { return AssetManager::getInstance().GetTexture(id).get(); }
    const sf::Texture* page() { return m_tutorial->getSlides()[m_tutorial->getCurrentSlide()].getTexture(); }

    const test::InputRestore m_inputRestore;
    bool m_capturing = true;
    test::TempWorkDir m_workDir;
    Game m_game;
    GameStateManager& m_states = m_game.getGameStateManager();
    InputManager& m_input = InputManager::getInstance();
    ControllerInput& m_controllers = ControllerInput::getInstance();
    std::vector<std::string> m_log;
    std::shared_ptr<MenuState> m_menu = std::make_shared<MenuState>(&m_states, &m_game);
    std::shared_ptr<TutorialState> m_tutorial = std::make_shared<TutorialState>(&m_states, &m_game);
    std::shared_ptr<EndState> m_end = std::make_shared<EndState>(&m_states, &m_game);
    std::shared_ptr<GameState> m_match =
        std::make_shared<test::RecordingState>("Match", m_log, &m_states, &m_game);
};

TEST_F(ScreensTest, MenuTakesSpaceAtOnceOnTheFirstVisitThenKeysAndControllersAfterAFifthOfASecond)
{
    m_states.setState("MenuState");
    key(sf::Keyboard::Space, true, 2);
    EXPECT_TRUE(isCurrent(m_tutorial.get()));
    EXPECT_EQ(m_game.getGui().getRemoveAllWidgetsCount(), 1u) << "the menu's exit empties the GUI";
    EXPECT_EQ(m_menu->getSprite().getGlobalBounds(), sf::FloatRect(0, 75, 800, 450)) << "whole and centred";
    m_states.setState("MenuState"); // back from the end screen: a Space within 0.2 s is ignored
    key(sf::Keyboard::Space, false, 1);
    key(sf::Keyboard::Space, true, 11);
    EXPECT_TRUE(isCurrent(m_menu.get()));
    key(sf::Keyboard::Space, false, 1);
    key(sf::Keyboard::Space, true, 2);
    EXPECT_TRUE(isCurrent(m_tutorial.get()));
    m_controllers.setButton(7, 0, true); // not read while disconnected
    m_controllers.setButton(7, 1, true);
    m_states.setState("MenuState");
    frames(30);
    EXPECT_TRUE(isCurrent(m_menu.get()));
    m_states.setState("MenuState"); // restarts its time
    m_controllers.setConnected(7, true);
    frames(1, 0.15f);
    EXPECT_TRUE(m_game.getWindow().isOpen()) << "inside the delay";
    frames(2, 0.1f); // held, not pressed: a button already down counts once the delay has passed
    EXPECT_TRUE(isCurrent(m_tutorial.get()));
    EXPECT_FALSE(m_game.getWindow().isOpen());
    EXPECT_EQ(output(), "closing game\n");
}

TEST_F(ScreensTest, MenuKeysOneToThreeAndButtonsTwoAndThreeOfferTheComputersDifficultyThenSpaceOrEnterStart)
{
    m_states.setState("MenuState");
    frames(1);
    for (const auto& [code, mode, row] : {std::tuple{sf::Keyboard::Num1, MatchMode::ComputerBuilder, 1},
                                          {sf::Keyboard::Num2, MatchMode::ComputerRunner, 0},
                                          {sf::Keyboard::Num3, MatchMode::ComputerBoth, 0}})
    {
        m_states.setState("MenuState");
        key(code, true, 2);
        EXPECT_FALSE(m_menu->getPendingMode()) << "within the menu's delay";
        key(code, false, 12);
        key(code, true, 2);
        key(code, false, 1);
        EXPECT_TRUE(isCurrent(m_menu.get())) << "the difficulty waits for Space or Enter";
        EXPECT_EQ(m_menu->getPendingMode(), mode);
        EXPECT_EQ(m_menu->getLevelRow(), row) << "the line of the role the computer plays";
        // Right makes the line's level harder, Left easier, neither past the ends.
        press({sf::Keyboard::Right, sf::Keyboard::Right, sf::Keyboard::Left});
        const ComputerLevels levels = m_menu->getLevels();
        EXPECT_EQ(row == 0 ? levels.runner : levels.builder, Difficulty::Normal);
        press({sf::Keyboard::Enter});
        EXPECT_TRUE(isCurrent(m_tutorial.get()));
        EXPECT_EQ(m_game.getMatchMode(), mode);
    }

    // Mode 3 has a line per role: Down goes to the Builder's; Escape puts the panel away and Space
    // is then a match for two people; the levels chosen are the game's for the next match.
    m_states.setState("MenuState");
    frames(20);
    press({sf::Keyboard::Num3, sf::Keyboard::Left, sf::Keyboard::Down, sf::Keyboard::Right});
    EXPECT_EQ(m_menu->getLevels(), (ComputerLevels{Difficulty::Easy, Difficulty::Hard}));
    press({sf::Keyboard::Space});
    EXPECT_EQ(m_game.getSettings().computer, (ComputerLevels{Difficulty::Easy, Difficulty::Hard}));
    m_states.setState("MenuState");
    frames(20);
    EXPECT_EQ(m_menu->getLevels(), (ComputerLevels{Difficulty::Easy, Difficulty::Hard})) << "remembered";
    press({sf::Keyboard::Num1, sf::Keyboard::Escape});
    EXPECT_FALSE(m_menu->getPendingMode());
    EXPECT_TRUE(m_game.getWindow().isOpen()) << "the first Escape only puts the panel away";
    key(sf::Keyboard::Space, true, 2);
    EXPECT_TRUE(isCurrent(m_tutorial.get()));
    EXPECT_EQ(m_game.getMatchMode(), MatchMode::TwoPlayers);
    key(sf::Keyboard::Space, false, 1);

    // Buttons 2 and 3 offer the modes, button 0 then starts them.
    m_controllers.setConnected(2, true);
    for (const auto& [button, mode] :
         {std::pair{2u, MatchMode::ComputerBuilder}, std::pair{3u, MatchMode::ComputerRunner}})
    {
        m_states.setState("MenuState");
        m_controllers.setButton(2, button, true);
        frames(1, 0.15f);
        EXPECT_FALSE(m_menu->getPendingMode()) << "within the menu's delay";
        frames(2, 0.1f);
        EXPECT_EQ(m_menu->getPendingMode(), mode);
        m_controllers.setButton(2, button, false);
        m_controllers.setButton(2, 0, true);
        frames(2);
        EXPECT_TRUE(isCurrent(m_tutorial.get()));
        EXPECT_EQ(m_game.getMatchMode(), mode);
        m_controllers.setButton(2, 0, false);
    }
    m_controllers.resetSimulated();
    EXPECT_EQ(output(), "");
}

TEST_F(ScreensTest, TutorialPagesTurnEverySevenAndAHalfSecondsAndSpaceOrAFreshButtonStartsTheMatch)
{
    m_states.setState("TutorialState");
    frames(30, 0.25f);
    EXPECT_EQ(page(), texture("tutorial1"));
    frames(1, 0.5f);
    EXPECT_EQ(page(), texture("tutorial2"));
    frames(29, 0.25f);
    EXPECT_EQ(page(), texture("tutorial2")) << "the excess over 7.5 seconds is dropped";
    key(sf::Keyboard::Space, true, 2);
    EXPECT_TRUE(isCurrent(m_match.get()));
    EXPECT_EQ(m_game.getGui().getRemoveAllWidgetsCount(), 1u) << "the tutorial's exit empties the GUI";
    m_states.setState("TutorialState");
    frames(2, 0.25f);
    EXPECT_EQ(page(), texture("tutorial1")) << "the timer went on from where it was left";
    m_controllers.setConnected(3, true);
    m_controllers.setButton(3, 0, true); // a button must be seen up before it starts the match
    m_states.setState("TutorialState");
    frames(60);
    m_controllers.setButton(3, 0, false);
    frames(1);
    EXPECT_TRUE(isCurrent(m_tutorial.get()));
    m_controllers.setButton(3, 0, true);
    frames(2);
    EXPECT_TRUE(isCurrent(m_match.get()));
    m_controllers.setConnected(5, true); // button 0 up on another controller does not count for this one
    m_states.setState("TutorialState");
    frames(30);
    EXPECT_TRUE(isCurrent(m_tutorial.get())) << "still held since the last visit";
}

TEST_F(ScreensTest, EndScreenShowsTheWinnerAndReturnsOrQuitsWithoutDelay)
{
    sf::Sound& fanfare = AssetManager::getInstance().GetSound("win");
    finishMatch(StrategyType::Builder);
    fanfare.setPlayingOffset(sf::seconds(0.8f));
    key(sf::Keyboard::Space, true, 1, 0.0f);
    EXPECT_EQ(m_end->getSprite().getTexture(), texture("win_builder"));
    EXPECT_EQ(fanfare.getStatus(), sf::Sound::Playing);
    EXPECT_LT(fanfare.getPlayingOffset().asSeconds(), 0.5f) << "the switch starts the fanfare again";
    frames(1, 0.0f);
    EXPECT_TRUE(isCurrent(m_menu.get())) << "Space, without delay";
    EXPECT_EQ(m_game.getGui().getRemoveAllWidgetsCount(), 1u) << "the end screen's exit empties the GUI";
    m_controllers.setConnected(6, true);
    m_controllers.setButton(6, 0, true); // held when the match ends: straight back
    finishMatch(StrategyType::Runner);
    frames(2);
    EXPECT_EQ(m_end->getSprite().getTexture(), texture("win_runner"));
    EXPECT_TRUE(isCurrent(m_menu.get()));
    m_controllers.setButton(6, 0, false);
    finishMatch(StrategyType::Runner);
    key(sf::Keyboard::Escape, true, 1);
    EXPECT_EQ(output(), "closing game\n");
}

TEST_F(ScreensTest, EndScreenQuitsOnControllerButtonOneOnlyOnceItWasLetGoThere)
{
    // Button 1 also ends the Runner's turn: the press that ends the match must leave the winner shown.
    m_controllers.setConnected(2, true);
    m_controllers.setConnected(5, true); // button 1 up on another controller does not count for this one
    m_controllers.setButton(2, 1, true);
    finishMatch(StrategyType::Runner);
    frames(30);
    EXPECT_TRUE(isCurrent(m_end.get()));
    EXPECT_TRUE(m_game.getWindow().isOpen()) << "still held from ending the last turn";
    m_controllers.setButton(2, 1, false);
    frames(1);
    m_controllers.setButton(2, 1, true);
    finishMatch(StrategyType::Runner); // let go during the last visit: held again as the next match ends
    frames(30);
    EXPECT_TRUE(m_game.getWindow().isOpen()) << "seen up on the last visit does not count";
    m_controllers.setButton(2, 1, false);
    frames(1);
    EXPECT_TRUE(m_game.getWindow().isOpen());
    m_controllers.setButton(2, 1, true);
    frames(1);
    EXPECT_FALSE(m_game.getWindow().isOpen());
    EXPECT_EQ(output(), "closing game\n");
    m_controllers.resetSimulated();
}

TEST_F(ScreensTest, EscapeAndAControllerQuittingInTheSameFrameSayClosingGameOnce)
{
    m_states.setState("MenuState");
    frames(1, 0.5f); // past the menu's delay
    m_controllers.setConnected(4, true);
    m_controllers.setButton(4, 1, true);
    key(sf::Keyboard::Escape, true, 1);
    EXPECT_FALSE(m_game.getWindow().isOpen());
    EXPECT_EQ(output(), "closing game\n");
    m_controllers.resetSimulated();
}

TEST_F(ScreensTest, PicturesDrawnWithoutBlendingLookExactlyAsBlendedOverTheClearedWindow)
{
    sf::RenderWindow& window = m_game.getWindow();
    const auto drawn = [&](const sf::Sprite& sprite, bool blended)
    {
        window.clear(sf::Color::Black);
        blended ? window.draw(sprite) : ScreenHelper::drawPicture(window, sprite);
        return shown();
    };
    for (const char* id : {"start", "tutorial1", "tutorial2", "win_builder", "win_runner"})
    {
        sf::Sprite sprite(*AssetManager::getInstance().GetTexture(id));
        ScreenHelper::fitSpriteToWindow(sprite, window); // scaled down, with bars above and below
        const sf::Image blended = drawn(sprite, true);
        const sf::Image plain = drawn(sprite, false);
        EXPECT_EQ(std::memcmp(blended.getPixelsPtr(), plain.getPixelsPtr(), 4u * 800u * 600u), 0) << id;
    }
}

TEST_F(ScreensTest, TheMenuNamesEveryKeyItTakesOnLinesApartAtEverySizeAndAfterEachResize)
{
    output();                                     // failures show
    m_states.registerState("HostState", m_match); // the game has network play
    std::ofstream(std::string("2026-01-02_03-04-05_x") + ReplayFolder::Extension) << "not a replay";
    m_game.setReplayFolder(m_workDir.path().string());
    m_menu->setMessage("could not read " + std::string(150, 'p') +
                       "/2026-01-02.tumbrelt-replay: no such file");
    m_states.setState("MenuState");
    sf::RenderWindow& window = m_game.getWindow();
    for (const sf::Vector2u size : {sf::Vector2u(800, 600), sf::Vector2u(1280, 720), sf::Vector2u(800, 600)})
    {
        window.setSize(size);
        for (int tries = 0; tries < 100 && window.getSize() != size; ++tries)
        {
            sf::sleep(sf::milliseconds(10));
        }
        window.display(); // the drawable takes the new size
        for (sf::Event event; window.pollEvent(event);)
        {
        }
        frames(1);
        window.clear();
        m_states.draw();
        const sf::Image picture = shown();
        // The picture's own rows of keys: the modes and "quit".
        const sf::FloatRect frame = m_menu->getSprite().getGlobalBounds();
        const auto band = [&](float top, float bottom, float left, float right)
        {
            return sf::FloatRect(frame.left + frame.width * left, frame.top + frame.height * top,
                                 frame.width * (right - left), frame.height * (bottom - top));
        };
        std::vector<sf::FloatRect> taken{band(0.81f, 0.91f, 0.0f, 1.0f), band(0.925f, 0.965f, 0.40f, 0.60f)};
        std::string named;
        for (const sf::Text* text : m_menu->getTexts())
        {
            const sf::FloatRect box = text->getGlobalBounds();
            SCOPED_TRACE(std::to_string(size.x) + "x" + std::to_string(size.y) + ": " +
                         text->getString().toAnsiString());
            EXPECT_GE(text->getCharacterSize(), 12u) << "no tiny text";
            EXPECT_TRUE(box.left >= frame.left && box.left + box.width <= frame.left + frame.width &&
                        box.top >= 0.0f && box.top + box.height <= size.y);
            // Hints under the modes, a message above the title.
            EXPECT_TRUE(text->getFillColor() == ScreenHelper::ErrorColor
                            ? box.top + box.height < frame.top + frame.height * 0.12f
                            : box.top > frame.top + frame.height * 0.91f);
            for (const sf::FloatRect& other : taken)
            {
                EXPECT_FALSE(box.intersects(other)) << "overlaps another line";
            }
            taken.push_back(box);
            // On screen in its colour.
            int lit = 0;
            for (unsigned x = static_cast<unsigned>(box.left); x < box.left + box.width && x < size.x; ++x)
            {
                const unsigned y = static_cast<unsigned>(box.top + box.height / 2.0f);
                lit += y < size.y && picture.getPixel(x, y) == text->getFillColor() ? 1 : 0;
            }
            EXPECT_GT(lit, 0);
            named += text->getString() + "\n";
        }
        for (const char* key : {"S / (Back): settings", "W: watch", "H: host", "J: join", "could not read",
                                "ppp...", "S / (Back)"})
        {
            EXPECT_NE(named.find(key), std::string::npos) << key << " at " << size.x << "x" << size.y;
        }
    }
}

TEST_F(ScreensTest, TheTutorialShowsThePlayersOwnKeysAndTurnTime)
{
    output(); // failures show
    Settings settings;
    ASSERT_EQ(settings.rebind(1, sf::Keyboard::L), "") << "step right";
    settings.turnSeconds = 15;
    m_game.changeSettings(settings);
    m_states.setState("TutorialState");
    frames(1);
    m_game.getWindow().clear();
    m_states.draw();
    const sf::Image page = shown();
    ScreenHelper::drawPicture(m_game.getWindow(), m_tutorial->getSlides()[0]);
    const sf::Image picture = shown();
    const auto said = [&](std::size_t slide)
    {
        std::string lines;
        for (const sf::Text& text : m_tutorial->getOverlays().at(slide).getTexts())
        {
            lines += text.getString().toAnsiString() + "|";
        }
        return lines;
    };
    EXPECT_NE(said(0).find("A|L|step left / right|"), std::string::npos) << said(0);
    EXPECT_NE(said(0).find("4 steps, 15 seconds|A turn ends when time or moves|run out, or on Q.|"),
              std::string::npos);
    EXPECT_NE(said(1).find("and at most 15 seconds, then|the Runner moves.|"), std::string::npos) << said(1);
    // The L is on screen where the picture has its D: white letter pixels the picture has not.
    const std::vector<sf::Text>& texts = m_tutorial->getOverlays()[0].getTexts();
    const auto cap =
        std::find_if(texts.begin(), texts.end(), [](const sf::Text& t) { return t.getString() == "L"; });
    ASSERT_NE(cap, texts.end());
    const sf::FloatRect box = cap->getGlobalBounds();
    int changed = 0;
    for (unsigned x = static_cast<unsigned>(box.left); x < box.left + box.width; ++x)
    {
        for (unsigned y = static_cast<unsigned>(box.top); y < box.top + box.height; ++y)
        {
            changed +=
                page.getPixel(x, y) == sf::Color::White && picture.getPixel(x, y) != sf::Color::White ? 1 : 0;
        }
    }
    EXPECT_GT(changed, 5);
}

} // namespace orv_gd
