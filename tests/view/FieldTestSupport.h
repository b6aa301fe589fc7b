#pragma once

#include "objects/GameObject.h"
#include "objects/GameObjectManager.h"
#include "support/ErrCapture.h"
#include "view/BlockComponent.h"
#include "view/GridManager.h"
#include "view/Palette.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/View.hpp>

#include <gtest/gtest.h>

#include <algorithm>

namespace orv_gd::test
{
/// The match's 50 x 15 grid on a hidden 1366 x 768 window (blocks hold a shader: needs a display)
/// with its camera, and blocks made as the level and the Builder make them; the test plays frames.
/// The grid and the registry are left as the test found them, the grid the Builder's again.
struct FieldTest : ::testing::Test
{
    static constexpr float Edge = 768.0f / 11.0f;

    void SetUp() override
    {
        initGrid({Edge, Edge}, 50, 15, {1366, 768});
        GameObjectManager::getInstance().addGameObject(m_camera);
    }
    void TearDown() override
    {
        m_grid.clear();
        m_grid.setCurrentPlayer(StrategyType::Builder);
        ErrCapture quiet; // the registry's listener leaves the bus
        GameObjectManager::getInstance().shutdown();
    }
    void initGrid(sf::Vector2f cellSize, int width, int height, sf::Vector2u window)
    {
        m_window =
            std::make_unique<sf::RenderWindow>(sf::VideoMode(window.x, window.y), "field", sf::Style::None);
        m_window->setVisible(false);
        m_grid.setCellSize(cellSize);
        m_grid.setWindow(*m_window);
        m_grid.init(width, height);
    }
    /// Points the camera and the window's view at this world point.
    void lookAt(sf::Vector2f point)
    {
        m_camera->setPosition(point);
        m_window->setView(sf::View(point, sf::Vector2f(m_window->getSize())));
    }
    /// A block as the level and the roles make it, the Runner in its blue.
    std::shared_ptr<BlockComponent> block(sf::Vector2i cell, BlockType type = BlockType::Dynamic,
                                          bool ghost = false, const std::string& id = "obstacleBlock_0")
    {
        GameObject& object = *m_objects.emplace_back(GameObject::create(id));
        const sf::Color color = id == "Runner" ? PaletteBlue : BlockComponent::colorForType(type);
        m_blocks.push_back(object.addComponent<BlockComponent>(object, *m_window, cell, color, ghost, type));
        m_blocks.back()->init();
        return m_blocks.back();
    }
    std::shared_ptr<BlockComponent> placed(sf::Vector2i cell, BlockType type = BlockType::Dynamic,
                                           const std::string& id = "obstacleBlock_0")
    {
        std::shared_ptr<BlockComponent> b = block(cell, type, false, id);
        EXPECT_TRUE(m_grid.placeBlock(b));
        return b;
    }
    /// A Builder block just dropped: placed, its lifetime running.
    std::shared_ptr<BlockComponent> drop(sf::Vector2i cell)
    {
        std::shared_ptr<BlockComponent> b = placed(cell);
        b->setPlaced(true);
        m_grid.addTimedBlock(b);
        return b;
    }
    /// Frames as the match plays them: the grid, then every block.
    void step(float dt, int frames = 1)
    {
        for (int i = 0; i < frames; ++i)
        {
            m_grid.update(dt);
            std::for_each(m_blocks.begin(), m_blocks.end(), [dt](const auto& b) { b->update(dt); });
        }
    }
    /// Draws a frame as the match does and returns what the window shows.
    sf::Image drawFrame()
    {
        m_window->clear();
        m_grid.draw();
        std::for_each(m_blocks.begin(), m_blocks.end(), [](const auto& b) { b->draw(); });
        return grab();
    }
    sf::Image grab() const
    {
        sf::Texture texture;
        texture.create(m_window->getSize().x, m_window->getSize().y);
        texture.update(*m_window);
        return texture.copyToImage();
    }
    /// The pixel showing this point of the map, in cells.
    sf::Color at(const sf::Image& image, sf::Vector2f cell) const
    {
        const sf::Vector2i p = m_window->mapCoordsToPixel(cell * Edge);
        return image.getPixel(static_cast<unsigned>(p.x), static_cast<unsigned>(p.y));
    }

    GridManager& m_grid = GridManager::getInstance();
    std::unique_ptr<sf::RenderWindow> m_window;
    std::shared_ptr<GameObject> m_camera = GameObject::create("Camera");
    std::vector<std::shared_ptr<GameObject>> m_objects;
    std::vector<std::shared_ptr<BlockComponent>> m_blocks;
};
} // namespace orv_gd::test
