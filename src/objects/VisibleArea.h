#pragma once

#include <SFML/System/Vector2.hpp>

namespace orv_gd
{
/// The part of the world a camera shows, edges included: a window's size centred on the camera.
struct VisibleArea
{
    sf::Vector2f min;
    sf::Vector2f max;

    static VisibleArea around(sf::Vector2f camera, sf::Vector2u windowSize)
    {
        const sf::Vector2f half(static_cast<float>(windowSize.x) / 2.0f,
                                static_cast<float>(windowSize.y) / 2.0f);
        return {{camera.x - half.x, camera.y - half.y}, {camera.x + half.x, camera.y + half.y}};
    }

    bool contains(sf::Vector2f point) const
    {
        return min.x <= point.x && point.x <= max.x && min.y <= point.y && point.y <= max.y;
    }
};
} // namespace orv_gd
