#include "view/ShapeBatch.h"

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Transform.hpp>

#include <algorithm>

namespace orv_gd
{
void ShapeBatch::addQuad(const sf::FloatRect& rect, sf::Color color)
{
    addQuad(sf::Transform::Identity, rect, color);
}

void ShapeBatch::addRing(const sf::FloatRect& rect, float thickness, sf::Color color)
{
    addRing(sf::Transform::Identity, rect, thickness, color);
}

void ShapeBatch::add(const sf::RectangleShape& shape)
{
    addFill(shape);
    const sf::Color outline = shape.getOutlineColor();
    if (shape.getOutlineThickness() != 0.0f && outline.a != 0)
    {
        addRing(shape.getTransform(), sf::FloatRect({0.0f, 0.0f}, shape.getSize()),
                shape.getOutlineThickness(), outline);
    }
}

void ShapeBatch::addFill(const sf::RectangleShape& shape)
{
    if (shape.getFillColor().a != 0)
    {
        addQuad(shape.getTransform(), sf::FloatRect({0.0f, 0.0f}, shape.getSize()), shape.getFillColor());
    }
}

void ShapeBatch::addQuad(const sf::Transform& transform, const sf::FloatRect& rect, sf::Color color)
{
    if (rect.width <= 0.0f || rect.height <= 0.0f)
    {
        return;
    }
    const sf::Vertex topLeft(transform.transformPoint(rect.left, rect.top), color);
    const sf::Vertex topRight(transform.transformPoint(rect.left + rect.width, rect.top), color);
    const sf::Vertex bottomRight(transform.transformPoint(rect.left + rect.width, rect.top + rect.height),
                                 color);
    const sf::Vertex bottomLeft(transform.transformPoint(rect.left, rect.top + rect.height), color);
    for (const sf::Vertex& vertex : {topLeft, topRight, bottomRight, topLeft, bottomRight, bottomLeft})
    {
        m_vertices.append(vertex);
    }
}

void ShapeBatch::addRing(const sf::Transform& transform, const sf::FloatRect& rect, float thickness,
                         sf::Color color)
{
    const sf::FloatRect grown(rect.left - thickness, rect.top - thickness, rect.width + 2.0f * thickness,
                              rect.height + 2.0f * thickness);
    const sf::FloatRect& outer = thickness > 0.0f ? grown : rect;
    const sf::FloatRect& inner = thickness > 0.0f ? rect : grown;
    if (inner.width <= 0.0f || inner.height <= 0.0f)
    {
        addQuad(transform, outer, color);
        return;
    }
    const float outerRight = outer.left + outer.width;
    const float innerRight = inner.left + inner.width;
    const float innerBottom = inner.top + inner.height;
    addQuad(transform, {outer.left, outer.top, outer.width, inner.top - outer.top}, color);
    addQuad(transform, {outer.left, innerBottom, outer.width, outer.top + outer.height - innerBottom}, color);
    addQuad(transform, {outer.left, inner.top, inner.left - outer.left, inner.height}, color);
    addQuad(transform, {innerRight, inner.top, outerRight - innerRight, inner.height}, color);
}

void ShapeBatch::draw(sf::RenderTarget& target, const sf::RenderStates& states) const
{
    if (!isEmpty())
    {
        target.draw(m_vertices, states);
    }
}
} // namespace orv_gd
