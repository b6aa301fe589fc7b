#pragma once

#include "objects/GameObject.h"
#include "objects/IRenderComponent.h"
#include "support/ErrCapture.h"

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderWindow.hpp>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orv_gd::test
{
using Log = std::vector<std::string>;

/// Writes "<name>.init" / "<name>.update" into a shared log; init fails when asked to.
class RecordingComponent : public IComponent
{
public:
    RecordingComponent(GameObject& object, Log& log, std::string name, bool initResult = true)
        : IComponent(object), m_log(log), m_name(std::move(name)), m_initResult(initResult)
    {
    }
    bool init() override
    {
        m_log.push_back(m_name + ".init");
        return m_initResult;
    }
    void update(float /*deltaTime*/) override { m_log.push_back(m_name + ".update"); }

private:
    Log& m_log;
    std::string m_name;
    bool m_initResult;
};

/// Logs its name when drawn and fills a rectangle, so tests see both the order and the pixels.
class RecordingRenderComponent : public IRenderComponent
{
public:
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

private:
    Log& m_log;
    sf::RectangleShape m_shape;
};
} // namespace orv_gd::test
