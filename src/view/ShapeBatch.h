#pragma once

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/RenderStates.hpp>
#include <SFML/Graphics/VertexArray.hpp>

#include <cstddef>

namespace sf
{
class RectangleShape;
class RenderTarget;
class Transform;
} // namespace sf

namespace orv_gd
{
/// Rectangles, rings and their outlines gathered into one triangle list and drawn with one call,
/// in the order they were added: the same pixels as drawing each shape on its own, since a draw
/// blends its triangles in order.
class ShapeBatch
{
public:
    void clear() { m_vertices.clear(); }
    bool isEmpty() const { return m_vertices.getVertexCount() == 0; }
    std::size_t getVertexCount() const { return m_vertices.getVertexCount(); }
    const sf::VertexArray& getVertices() const { return m_vertices; }

    /// A filled rectangle in the coordinates of the view it will be drawn in.
    void addQuad(const sf::FloatRect& rect, sf::Color color);
    /// The band between `rect` and `rect` grown by `thickness` on every side (shrunk when it is
    /// negative), as four quads that do not overlap.
    void addRing(const sf::FloatRect& rect, float thickness, sf::Color color);
    /// A rectangle shape as it draws itself: its fill, then its outline, under its transform.
    /// Fully transparent parts change no pixel and are left out.
    void add(const sf::RectangleShape& shape);
    /// Only the fill of a rectangle shape.
    void addFill(const sf::RectangleShape& shape);

    void draw(sf::RenderTarget& target, const sf::RenderStates& states = sf::RenderStates::Default) const;

private:
    void addQuad(const sf::Transform& transform, const sf::FloatRect& rect, sf::Color color);
    void addRing(const sf::Transform& transform, const sf::FloatRect& rect, float thickness, sf::Color color);

    sf::VertexArray m_vertices{sf::Triangles};
};
} // namespace orv_gd
