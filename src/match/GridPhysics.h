#pragma once

#include "match/GridManager.h"

namespace orv_gd
{
class AssetManager;
class GameObjectManager;

/// The gravity pass: once per Runner turn every loose Dynamic block, the Runner included, falls
/// by one cell, and the Runner's safe zone follows the Runner down.
class GridPhysics
{
public:
    GridPhysics(GridManager& grid, GridManager::CellTable& cells);

    /// One gravity pass over the live cell table, bottom rows first.
    void update();

private:
    GridManager& m_grid;
    GridManager::CellTable& m_cells;
    GameObjectManager& m_objectManager;
    AssetManager& m_assetManager;
    bool m_runnerFell = false;
};
} // namespace orv_gd
