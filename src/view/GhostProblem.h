#pragma once

namespace orv_gd
{
/// Why the Builder's ghost is red: the HUD names it, the strategy reads it from the rules.
enum class GhostProblem
{
    None,
    OnSafeZone,      ///< a cell lies on the Runner's safe zone
    InFinishColumns, ///< a cell lies in the last three columns
};
} // namespace orv_gd
