#pragma once

#include "computer/CellRange.h"
#include "rules/Match.h"

namespace orv_gd
{
/// What the computer players read of the match they play: the match as the rules hold it, and
/// the cells the Builder's cursor can reach on screen. The screen implements it, so the computer
/// never looks at the scene itself.
class MatchSource
{
public:
    virtual ~MatchSource() = default;

    virtual const rules::Match& currentMatch() const = 0;
    /// The cells the Builder's cursor can reach on screen, inclusive.
    virtual CellRange builderView() const = 0;
};
} // namespace orv_gd
