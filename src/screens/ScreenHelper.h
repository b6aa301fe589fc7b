#pragma once

#include "core/ControllerInput.h"

#include <SFML/Graphics/Color.hpp>

#include <array>
#include <functional>

namespace sf
{
class RenderWindow;
class Sprite;
class View;
} // namespace sf

namespace orv_gd
{
/// What the picture screens (menu, tutorial, end screen) share: fitting a picture to the window,
/// walking the connected controllers, and closing the game.
class ScreenHelper
{
public:
    static constexpr unsigned SelectButton = ControllerInput::ButtonA;
    static constexpr unsigned ExitButton = ControllerInput::ButtonB;
    /// What went wrong, on any screen: orange, apart from the grey of help and the white of titles.
    inline static const sf::Color ErrorColor{255, 170, 90};

    /// Scales a full-screen picture to fit the window whole, keeping its proportions, and centres
    /// it on the window's current view; the sides that do not fit stay as bars.
    static void fitSpriteToWindow(sf::Sprite& sprite, const sf::RenderWindow& window);
    /// After the window was resized: the view covers the window's new size (its pixels stay the
    /// screen's units) and becomes the window's; returns whether the picture must be fitted again.
    static bool followWindow(sf::RenderWindow& window, sf::View& view);
    /// Draws a screen's picture, whose pixels are all opaque, over the cleared window: without
    /// blending, which gives the same pixels without reading the window's back (under software
    /// rendering about a quarter cheaper).
    static void drawPicture(sf::RenderWindow& window, const sf::Sprite& sprite);
    /// Calls the function with the slot of every connected controller, in slot order.
    static void forEachController(const ControllerInput& controllers,
                                  const std::function<void(unsigned)>& call);
    /// Per controller slot: the button has been seen up since the screen became current.
    using ReleasedButtons = std::array<bool, ControllerInput::SlotCount>;
    /// Whether a connected controller presses the button after it was seen up on that same
    /// controller since `released` was last cleared; notes each controller where it is up now. A
    /// button still held from the screen before (or from the match) does nothing until let go.
    static bool isFreshPress(const ControllerInput& controllers, unsigned button, ReleasedButtons& released);
    /// Whether any connected controller holds the button down.
    static bool isButtonHeld(const ControllerInput& controllers, unsigned button);
    /// Says "closing game" and closes the window. The key and a controller, or two controllers,
    /// may ask in one frame: only the first request, while the window is open, does anything.
    static void closeGame(sf::RenderWindow& window);
};
} // namespace orv_gd
