#include "MatchFixture.h"

#include "core/EndState.h"
#include "core/InputManager.h"
#include "core/MenuState.h"
#include "core/TutorialState.h"
#include "match/BlockComponent.h"
#include "match/BuilderStrategy.h"
#include "match/GridManager.h"
#include "match/MainState.h"
#include "match/RunnerStrategy.h"
#include "objects/GameObject.h"
#include "objects/GameObjectManager.h"
#include "resources/AssetCatalogue.h"

#include <SFML/Graphics/Texture.hpp>
#include <SFML/Window/Event.hpp>
#include <SFML/Window/VideoMode.hpp>

#include <stdexcept>

namespace orv_gd::test
{
MatchFixture::MatchFixture(unsigned width, unsigned height) : m_game(std::make_unique<Game>())
{
    sf::RenderWindow& window = m_game->getWindow();
    window.create(sf::VideoMode(width, height), "Tumbrelt", sf::Style::None);
    window.setPosition({0, 0});

    m_game->initInputBindings();
    AssetCatalogue& catalogue = AssetCatalogue::getInstance();
    catalogue.setWindow(window);
    catalogue.loadAssets();

    GameStateManager& manager = m_game->getGameStateManager();
    manager.registerState("MenuState", std::make_shared<MenuState>(&manager, m_game.get()));
    manager.registerState("MainState", std::make_shared<MainState>(&manager, m_game.get()));
    manager.registerState("EndState", std::make_shared<EndState>(&manager, m_game.get()));
    manager.registerState("TutorialState", std::make_shared<TutorialState>(&manager, m_game.get()));
    InputManager::getInstance().setRenderWindow(&window);

    manager.setState("MainState");
    frame(0.0f);
}

MatchFixture::~MatchFixture()
{
    m_game->getGameStateManager().shutdown();
    m_terrain.clear();
}

void MatchFixture::frame(float dt)
{
    InputManager::getInstance().update();
    m_game->getGameStateManager().update(dt);
}

void MatchFixture::frames(int count, float dt)
{
    for (int i = 0; i < count; ++i)
    {
        frame(dt);
    }
}

void MatchFixture::runFor(float seconds, float dt)
{
    for (float elapsed = 0.0f; elapsed < seconds; elapsed += dt)
    {
        frame(dt);
    }
}

sf::Image MatchFixture::render()
{
    sf::RenderWindow& window = m_game->getWindow();
    window.clear(sf::Color::Black);
    m_game->getGameStateManager().draw();
    sf::Texture texture;
    texture.create(window.getSize().x, window.getSize().y);
    texture.update(window);
    return texture.copyToImage();
}

void MatchFixture::press(sf::Keyboard::Key key)
{
    sf::Event event{};
    event.type = sf::Event::KeyPressed;
    event.key.code = key;
    InputManager::getInstance().process(event);
}

void MatchFixture::release(sf::Keyboard::Key key)
{
    sf::Event event{};
    event.type = sf::Event::KeyReleased;
    event.key.code = key;
    InputManager::getInstance().process(event);
}

void MatchFixture::tap(sf::Keyboard::Key key)
{
    tapTogether({key});
}

void MatchFixture::tapTogether(const std::vector<sf::Keyboard::Key>& keys)
{
    for (sf::Keyboard::Key key : keys)
    {
        press(key);
    }
    frame();
    for (sf::Keyboard::Key key : keys)
    {
        release(key);
    }
    frame();
}

GameStateManager& MatchFixture::states()
{
    return m_game->getGameStateManager();
}

MainState& MatchFixture::match()
{
    auto* state = dynamic_cast<MainState*>(states().findState("MainState"));
    if (!state)
    {
        throw std::logic_error("no MainState registered");
    }
    return *state;
}

RunnerStrategy& MatchFixture::runner()
{
    return dynamic_cast<RunnerStrategy&>(*match().getStrategies().at(StrategyType::Runner));
}

BuilderStrategy& MatchFixture::builder()
{
    return dynamic_cast<BuilderStrategy&>(*match().getStrategies().at(StrategyType::Builder));
}

GridManager& MatchFixture::grid()
{
    return GridManager::getInstance();
}

std::shared_ptr<GameObject> MatchFixture::object(const std::string& id) const
{
    const auto& objects = GameObjectManager::getInstance().getGameObjects();
    const auto found = objects.find(id);
    return found == objects.end() ? nullptr : found->second;
}

std::shared_ptr<BlockComponent> MatchFixture::runnerBlock() const
{
    const std::shared_ptr<GameObject> runnerObject = object("Runner");
    return runnerObject ? runnerObject->getComponent<BlockComponent>() : nullptr;
}

sf::Vector2i MatchFixture::runnerCell() const
{
    return runnerBlock()->getGridPosition();
}

void MatchFixture::giveTurnTo(StrategyType role)
{
    grid().setCurrentPlayer(role);
    match().setStrategy(role);
}

void MatchFixture::clearPlatforms()
{
    GridManager& cells = grid();
    const sf::Vector2i size = cells.getMapSize();
    for (int x = 0; x < size.x; ++x)
    {
        for (int y = 0; y < size.y; ++y)
        {
            const std::shared_ptr<BlockComponent> block = cells.getBlockAt(x, y);
            if (block && block->getType() == BlockType::Static)
            {
                cells.removeBlock(block);
            }
        }
    }
}

std::shared_ptr<BlockComponent> MatchFixture::putBlock(sf::Vector2i cell, int type)
{
    std::shared_ptr<GameObject> holder = GameObject::create("terrain_" + std::to_string(m_terrain.size()));
    const BlockType blockType = static_cast<BlockType>(type);
    std::shared_ptr<BlockComponent> block = holder->addComponent<BlockComponent>(
        *holder, m_game->getWindow(), cell, BlockComponent::colorForType(blockType), false, blockType);
    grid().placeBlock(block);
    m_terrain.push_back(holder);
    return block;
}

void MatchFixture::putFloor(int row, int from, int to)
{
    for (int x = from; x <= to; ++x)
    {
        putBlock({x, row}, static_cast<int>(BlockType::Static));
    }
}

void MatchFixture::placeRunner(sf::Vector2i cell)
{
    const sf::Vector2i offset = cell - runnerCell();
    grid().moveBlock(runnerBlock(), cell);
    for (const std::shared_ptr<BlockComponent>& zone :
         object("runner_safezone")->getComponents<BlockComponent>())
    {
        grid().moveBlock(zone, zone->getGridPosition() + offset);
    }
}
} // namespace orv_gd::test
