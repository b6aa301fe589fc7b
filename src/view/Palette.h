#pragma once

#include "core/Settings.h"

#include <SFML/Graphics/Color.hpp>

namespace orv_gd
{
/// Colours shared by the match, the HUD and the blocks. They are the chosen palette's: a match sets
/// them with usePalette when it starts, before any of them is read.
inline sf::Color PaletteDark{20, 20, 20, 255};
inline sf::Color PaletteDarkTranslucent{20, 20, 20, 192};
inline sf::Color PaletteGrey{90, 90, 90, 255};
inline sf::Color PaletteBlue{14, 165, 233, 255};
inline sf::Color PaletteAmber{245, 158, 11, 255};
inline sf::Color PaletteWhite{255, 255, 255, 255};
inline sf::Color PaletteGreen{34, 197, 94, 255};
inline sf::Color PaletteRed{255, 5, 23, 255};
inline sf::Color PaletteShadow{40, 40, 40, 5};

/// Puts the palette's colours into the shared ones above. The colour-blind palette takes hues that
/// the three common kinds of colour blindness still tell apart and spreads their lightness; the
/// high-contrast one puts the cells on black with large steps of lightness between them.
inline void usePalette(PaletteChoice choice)
{
    struct Colours
    {
        sf::Color dark, darkTranslucent, grey, blue, amber, white, green, red;
    };
    static const Colours Standard{{20, 20, 20},   {20, 20, 20, 192}, {90, 90, 90},  {14, 165, 233},
                                  {245, 158, 11}, {255, 255, 255},   {34, 197, 94}, {255, 5, 23}};
    static const Colours ColourBlind{{20, 20, 20},   {20, 20, 20, 192}, {90, 90, 90},  {0, 114, 178},
                                     {240, 180, 30}, {255, 255, 255},   {0, 158, 115}, {213, 94, 0}};
    static const Colours HighContrast{{0, 0, 0},     {0, 0, 0, 208},  {140, 140, 140}, {0, 120, 255},
                                      {255, 220, 0}, {255, 255, 255}, {0, 200, 70},    {255, 30, 30}};
    const Colours& c = choice == PaletteChoice::ColourBlind    ? ColourBlind
                       : choice == PaletteChoice::HighContrast ? HighContrast
                                                               : Standard;
    PaletteDark = c.dark;
    PaletteDarkTranslucent = c.darkTranslucent;
    PaletteGrey = c.grey;
    PaletteBlue = c.blue;
    PaletteAmber = c.amber;
    PaletteWhite = c.white;
    PaletteGreen = c.green;
    PaletteRed = c.red;
}
} // namespace orv_gd
