#pragma once

#include "view/HudText.h"

#include <SFML/System/Vector2.hpp>

#include <memory>
#include <vector>

namespace sf
{
class RenderWindow;
} // namespace sf

namespace orv_gd
{
class EventBus;
class GameObject;

/// The match's bars along the bottom of the view, each with its icon: the turn's time, then the
/// Runner's moves, jump force, resets and turns. They are scene objects on the "Ui" layer, sized
/// to the window and following the camera.
class MatchBars
{
public:
    MatchBars(sf::RenderWindow& window, EventBus& events);

    /// Makes the bars and icons afresh; the time bar drains over `turnLimit` seconds.
    void make(float turnLimit);
    /// The bars' and icons' sizes for the window's size.
    void resize();
    /// Places the bars in a row under the camera at `cameraPosition` and shows the readings: blue
    /// on the Runner's turn, the time alone amber on the Builder's.
    void refresh(const sf::Vector2f& cameraPosition, const HudReadings& readings);
    /// Nothing of a match outlives it; the next match makes its bars afresh.
    void clear();

    const std::vector<std::shared_ptr<GameObject>>& getBars() const { return m_bars; }
    const std::vector<std::shared_ptr<GameObject>>& getIcons() const { return m_icons; }

private:
    sf::RenderWindow& m_window;
    EventBus& m_events;
    std::vector<std::shared_ptr<GameObject>> m_bars;
    std::vector<std::shared_ptr<GameObject>> m_icons;
};
} // namespace orv_gd
