#pragma once

namespace sf
{
class RenderWindow;
class Sprite;
} // namespace sf

namespace orv_gd
{
/// Scales a full-screen picture to fit the window whole, keeping its proportions, and centres
/// it on the window's current view; the sides that do not fit stay as bars.
void fitSpriteToWindow(sf::Sprite& sprite, const sf::RenderWindow& window);
} // namespace orv_gd
