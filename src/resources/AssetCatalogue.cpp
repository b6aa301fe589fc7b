#include "resources/AssetCatalogue.h"

#include "resources/AssetManager.h"

namespace orv_gd
{
AssetCatalogue& AssetCatalogue::getInstance()
{
    static AssetCatalogue instance;
    return instance;
}

void AssetCatalogue::setWindow(sf::RenderWindow& window)
{
    m_window = &window;
}

void AssetCatalogue::loadAssets()
{
    loadTextures();
    loadFonts();
    loadSounds();
    loadMusic();
}

void AssetCatalogue::loadTextures()
{
    AssetManager& assets = AssetManager::getInstance();
    assets.LoadTexture("reset", "icons/reset.png");
    assets.LoadTexture("time", "icons/time.png");
    assets.LoadTexture("x-movement", "icons/x-movement.png");
    assets.LoadTexture("y-movement", "icons/y-movement.png");
    assets.LoadTexture("turns", "icons/turns.png");
    assets.LoadTexture("start", "menu/start.png");
    assets.LoadTexture("tutorial1", "menu/tutorial1.png");
    assets.LoadTexture("tutorial2", "menu/tutorial2.png");
    assets.LoadTexture("win_builder", "menu/win_builder.png");
    assets.LoadTexture("win_runner", "menu/win_runner.png");
}

void AssetCatalogue::loadFonts()
{
    AssetManager::getInstance().LoadFont("consolab", "consolab.ttf");
}

void AssetCatalogue::loadSounds()
{
    AssetManager& assets = AssetManager::getInstance();
    // Volumes balance the sounds against each other: footsteps are frequent and stay quiet.
    assets.LoadSound("warp", "sounds/warp.wav");
    assets.GetSound("warp").setVolume(50.0f);
    assets.LoadSound("walk", "sounds/walk.wav");
    assets.GetSound("walk").setVolume(10.0f);
    assets.LoadSound("place", "sounds/place.wav");
    assets.GetSound("place").setVolume(25.0f);
    assets.LoadSound("move", "sounds/move.wav");
    assets.GetSound("move").setVolume(30.0f);
    assets.LoadSound("win", "sounds/win.wav");
    assets.GetSound("win").setVolume(50.0f);
    assets.LoadSound("misplace", "sounds/misplace.wav");
    assets.GetSound("misplace").setVolume(35.0f);
}

void AssetCatalogue::loadMusic()
{
    // The game has no music; the group stays so a track can be added next to the others.
}
} // namespace orv_gd
