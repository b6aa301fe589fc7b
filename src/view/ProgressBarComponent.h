#pragma once

#include "objects/IRenderComponent.h"
#include "view/Palette.h"
#include "view/ShapeBatch.h"

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/System/Vector2.hpp>

namespace orv_gd
{
/// One HUD bar: a background the size of the bar and a filled part whose length shows where a
/// value stands between its empty and its full value. It sits at its object's position and
/// empties from the right towards its fixed left edge.
class ProgressBarComponent : public IRenderComponent
{
public:
    ProgressBarComponent(GameObject& gameObject, sf::RenderWindow& renderWindow, sf::Vector2f size,
                         float value, float emptyValue, float fullValue,
                         sf::Color backgroundColor = PaletteGrey, sf::Color barColor = PaletteBlue);

    bool init() override;
    void update(float deltaTime) override;
    void draw() override;
    /// What draw() draws, for the layer's batch.
    const sf::VertexArray* getTriangles() override;

    void setValue(float value) { m_value = value; }
    /// A new size for the bar (the window was resized), drawn from the next update on.
    void setSize(sf::Vector2f size);
    void setBackgroundColor(sf::Color color) { m_backgroundColor = color; }
    void setBarColor(sf::Color color) { m_barColor = color; }

    float getValue() const { return m_value; }
    sf::Vector2f getSize() const { return m_size; }
    sf::Color getBackgroundColor() const { return m_backgroundColor; }
    sf::Color getBarColor() const { return m_barColor; }
    const sf::RectangleShape& getBackground() const { return m_background; }
    const sf::RectangleShape& getForeground() const { return m_foreground; }

private:
    float ratio() const;

    sf::Vector2f m_size;
    float m_value;
    float m_fullValue;
    float m_emptyValue;
    sf::Color m_backgroundColor;
    sf::Color m_barColor;
    sf::RectangleShape m_background;
    sf::RectangleShape m_foreground;
    /// What draw() draws, gathered for getTriangles().
    ShapeBatch m_triangles;
};
} // namespace orv_gd
