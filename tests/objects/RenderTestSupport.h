#pragma once

#include "objects/GameObject.h"
#include "objects/IRenderComponent.h"

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <memory>
#include <string>
#include <vector>

namespace orv_gd::test
{
/// A hidden borderless window for drawing tests (needs a display: Xvfb).
inline std::unique_ptr<sf::RenderWindow> makeHiddenWindow(unsigned width = 200, unsigned height = 150)
{
    auto window =
        std::make_unique<sf::RenderWindow>(sf::VideoMode(width, height), "objects test", sf::Style::None);
    window->setVisible(false);
    window->setPosition({0, 0});
    return window;
}

/// Reads back what has been drawn into the window's back buffer so far.
inline sf::Image grab(sf::RenderWindow& window)
{
    sf::Texture texture;
    texture.create(window.getSize().x, window.getSize().y);
    texture.update(window);
    return texture.copyToImage();
}

/// A render component that logs its draws and fills a rectangle of its own, so tests can
/// check both the order of calls and the pixels.
class RecordingRenderComponent : public IRenderComponent
{
public:
    RecordingRenderComponent(GameObject& gameObject, sf::RenderWindow& renderWindow,
                             std::vector<std::string>& log, std::string name, sf::FloatRect rect = {},
                             sf::Color color = sf::Color::White)
        : IRenderComponent(gameObject, renderWindow), m_log(log), m_name(std::move(name))
    {
        m_shape.setPosition(rect.left, rect.top);
        m_shape.setSize({rect.width, rect.height});
        m_shape.setFillColor(color);
    }

    bool init() override { return true; }
    void update(float /*deltaTime*/) override {}
    void draw() override
    {
        m_log.push_back(m_name);
        m_renderWindow.draw(m_shape);
    }

private:
    std::vector<std::string>& m_log;
    std::string m_name;
    sf::RectangleShape m_shape;
};
} // namespace orv_gd::test
