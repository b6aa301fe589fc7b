#pragma once

namespace sf
{
class Event;
class RenderWindow;
} // namespace sf

namespace orv_gd
{
/// The GUI layer attached to the window. The game adds no widgets: it gives the layer the
/// window, feeds it every event, draws it every frame and empties it when a screen exits.
class Gui
{
public:
    Gui() = default;

    void setTarget(sf::RenderWindow& window);
    /// Returns whether a widget used the event; with no widgets, never.
    bool handleEvent(const sf::Event& event);
    void draw();
    void removeAllWidgets();

    sf::RenderWindow* getTarget() const { return m_target; }
    unsigned getRemoveAllWidgetsCount() const { return m_removeAllWidgetsCount; }
    unsigned getDrawCount() const { return m_drawCount; }

private:
    sf::RenderWindow* m_target = nullptr;
    unsigned m_removeAllWidgetsCount = 0;
    unsigned m_drawCount = 0;
};
} // namespace orv_gd
