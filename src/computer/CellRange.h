#pragma once

#include "rules/Cell.h"

namespace orv_gd
{
/// A rectangle of cells, both corners included; empty when max lies left of or above min.
struct CellRange
{
    rules::Cell min{0, 0};
    rules::Cell max{-1, -1};

    bool contains(rules::Cell cell) const
    {
        return cell.x >= min.x && cell.x <= max.x && cell.y >= min.y && cell.y <= max.y;
    }
};
} // namespace orv_gd
