#pragma once

#include "objects/GameObject.h"
#include "objects/IRenderComponent.h"
#include "support/ErrCapture.h"

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderWindow.hpp>

#include <gmock/gmock.h>

#include <string>
#include <vector>

namespace orv_gd::test
{
using Log = std::vector<std::string>;

/// Writes "<name>.init" / "<name>.update" into a shared log.
struct RecordingComponent : IComponent
{
    RecordingComponent(GameObject& object, Log& log, std::string name)
        : IComponent(object), m_log(log), m_name(std::move(name))
    {
    }
    bool init() override
    {
        m_log.push_back(m_name + ".init");
        return true;
    }
    void update(float /*deltaTime*/) override { m_log.push_back(m_name + ".update"); }

    Log& m_log;
    std::string m_name;
};

/// Logs its object's id when drawn and fills a rectangle, so tests see both the order and the pixels.
struct RecordingRenderComponent : IRenderComponent
{
    RecordingRenderComponent(GameObject& object, sf::RenderWindow& window, Log& log, sf::FloatRect rect,
                             sf::Color color)
        : IRenderComponent(object, window), m_log(log), m_shape({rect.width, rect.height})
    {
        m_shape.setPosition(rect.left, rect.top);
        m_shape.setFillColor(color);
    }
    bool init() override { return true; }
    void update(float /*deltaTime*/) override {}
    void draw() override
    {
        m_log.push_back(m_gameObject.getId());
        m_renderWindow.draw(m_shape);
    }

    Log& m_log;
    sf::RectangleShape m_shape;
};
} // namespace orv_gd::test
