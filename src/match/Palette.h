#pragma once

#include <SFML/Graphics/Color.hpp>

namespace orv_gd
{
/// Colours shared by the match, the HUD and the blocks.
inline const sf::Color PaletteDark{20, 20, 20, 255};
inline const sf::Color PaletteDarkTranslucent{20, 20, 20, 192};
inline const sf::Color PaletteGrey{90, 90, 90, 255};
inline const sf::Color PaletteBlue{14, 165, 233, 255};
inline const sf::Color PaletteAmber{245, 158, 11, 255};
inline const sf::Color PaletteWhite{255, 255, 255, 255};
inline const sf::Color PaletteGreen{34, 197, 94, 255};
inline const sf::Color PaletteRed{255, 5, 23, 255};
inline const sf::Color PaletteShadow{40, 40, 40, 5};
} // namespace orv_gd
