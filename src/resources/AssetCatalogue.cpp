#include "resources/AssetCatalogue.h"

#include "resources/AssetManager.h"

#include <utility>

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
    const std::pair<const char*, const char*> textures[] = {{"reset", "icons/reset.png"},
                                                            {"time", "icons/time.png"},
                                                            {"x-movement", "icons/x-movement.png"},
                                                            {"y-movement", "icons/y-movement.png"},
                                                            {"turns", "icons/turns.png"},
                                                            {"start", "menu/start.png"},
                                                            {"tutorial1", "menu/tutorial1.png"},
                                                            {"tutorial2", "menu/tutorial2.png"},
                                                            {"win_builder", "menu/win_builder.png"},
                                                            {"win_runner", "menu/win_runner.png"},
                                                            {"icon", "icons/tumbrelt.png"}};
    AssetManager& assets = AssetManager::getInstance();
    for (const auto& [id, file] : textures)
    {
        assets.LoadTexture(id, file);
    }
}

void AssetCatalogue::loadFonts()
{
    AssetManager::getInstance().LoadFont("consolab", "consolab.ttf");
}

void AssetCatalogue::loadSounds()
{
    struct SoundEntry
    {
        const char* id;
        const char* file;
        float volume;
    };
    // Volumes balance the sounds against each other: footsteps are frequent and stay quiet.
    const SoundEntry sounds[] = {
        {"warp", "sounds/warp.wav", 50.0f},   {"walk", "sounds/walk.wav", 10.0f},
        {"place", "sounds/place.wav", 25.0f}, {"move", "sounds/move.wav", 30.0f},
        {"win", "sounds/win.wav", 50.0f},     {"misplace", "sounds/misplace.wav", 35.0f}};
    AssetManager& assets = AssetManager::getInstance();
    for (const SoundEntry& sound : sounds)
    {
        assets.LoadSound(sound.id, sound.file);
        assets.GetSound(sound.id).setVolume(sound.volume);
    }
}

void AssetCatalogue::loadMusic()
{
    // The game has no music; the group stays so a track can be added next to the others.
}
} // namespace orv_gd
