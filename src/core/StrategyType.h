#pragma once

namespace orv_gd
{
/// The two roles of a match. Names whose turn it is and who won; stored as an integer.
enum class StrategyType : int
{
    Runner = 0,
    Builder = 1
};
} // namespace orv_gd
