#include "core/Gui.h"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Window/Event.hpp>

namespace orv_gd
{
void Gui::setTarget(sf::RenderWindow& window)
{
    m_target = &window;
}

bool Gui::handleEvent(const sf::Event& event)
{
    (void)event;
    // No widget ever takes an event.
    return false;
}

void Gui::draw()
{
    // An empty widget tree draws nothing; the frame count lets tests see the layer is drawn.
    ++m_drawCount;
}

void Gui::removeAllWidgets()
{
    ++m_removeAllWidgetsCount;
}
} // namespace orv_gd
