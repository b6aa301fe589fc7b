#pragma once

namespace orv_gd
{
/// Kind of a grid block, stored as an integer.
enum class BlockType : int
{
    Dynamic = 0, ///< the Runner and the Builder's amber blocks: falls under gravity, shines
    Static = 1,  ///< white platforms
    Finish = 2,  ///< green finish cells
    SafeZone = 3 ///< the Runner's safe zone
};
} // namespace orv_gd
