#pragma once

#include "rules/Field.h"

#include <string>
#include <vector>

namespace orv_gd::rules::test
{
/// A field drawn row by row, top row first: '.' empty, '#' white, 'g' green, 'a' an amber Builder
/// cell with its whole life ahead.
inline Field fieldOf(const std::vector<std::string>& rows)
{
    Field field(static_cast<int>(rows.front().size()), static_cast<int>(rows.size()));
    for (int y = 0; y < field.getHeight(); ++y)
    {
        for (int x = 0; x < field.getWidth(); ++x)
        {
            const char c = rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
            if (c == 'a')
            {
                field.drop({x, y}, CellKind::Dynamic, 7000);
            }
            else if (c != '.')
            {
                field.set({x, y}, c == '#' ? CellKind::Static : CellKind::Finish);
            }
        }
    }
    return field;
}

/// The field drawn back the same way.
inline std::vector<std::string> rowsOf(const Field& field)
{
    std::vector<std::string> rows;
    for (int y = 0; y < field.getHeight(); ++y)
    {
        std::string& row = rows.emplace_back();
        for (int x = 0; x < field.getWidth(); ++x)
        {
            row += ".#ag"[static_cast<int>(field.at({x, y}))];
        }
    }
    return rows;
}
} // namespace orv_gd::rules::test
