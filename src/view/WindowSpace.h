#pragma once

#include <SFML/Graphics/View.hpp>

namespace sf
{
class RenderTarget;
} // namespace sf

namespace orv_gd
{
/// While it lives, drawing goes to the window's own pixels (the HUD, the overview, banners);
/// when it goes, the camera's view comes back for the match's own drawing.
class WindowSpace
{
public:
    explicit WindowSpace(sf::RenderTarget& target);
    ~WindowSpace();
    WindowSpace(const WindowSpace&) = delete;
    WindowSpace& operator=(const WindowSpace&) = delete;

private:
    sf::RenderTarget& m_target;
    sf::View m_camera;
};
} // namespace orv_gd
