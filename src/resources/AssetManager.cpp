#include "resources/AssetManager.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace orv_gd
{
AssetManager& AssetManager::getInstance()
{
    static AssetManager instance;
    return instance;
}

void AssetManager::LoadTexture(const std::string& id, const std::string& fileName)
{
    auto texture = std::make_shared<sf::Texture>();
    if (!texture->loadFromFile(GetAssetPath(fileName), sf::IntRect()))
    {
        throw std::runtime_error("AssetManager::LoadTexture - Failed to load " + fileName);
    }
    m_textures[id] = texture;
}

void AssetManager::LoadSound(const std::string& id, const std::string& fileName)
{
    sf::SoundBuffer soundBuffer;
    if (!soundBuffer.loadFromFile(GetAssetPath(fileName)))
    {
        throw std::runtime_error("AssetManager::LoadSound - Failed to load " + fileName);
    }
    // Replacing a buffer detaches the sounds that played the old one, so the stored sound
    // is re-attached below to the buffer that now lives in the map (a node of fixed address).
    sf::SoundBuffer& storedBuffer = m_soundBuffers[id];
    storedBuffer = soundBuffer;

    sf::Sound sound;
    sound.setBuffer(storedBuffer);
    m_sounds[id] = sound;
}

void AssetManager::LoadFont(const std::string& id, const std::string& fileName)
{
    auto font = std::make_shared<sf::Font>();
    if (!font->loadFromFile(GetAssetPath(fileName)))
    {
        throw std::runtime_error("AssetManager::LoadFont - Failed to load " + fileName);
    }
    m_fonts[id] = font;
}

void AssetManager::LoadMusic(const std::string& id, const std::string& fileName)
{
    auto music = std::make_shared<sf::Music>();
    if (!music->openFromFile(GetAssetPath(fileName)))
    {
        throw std::runtime_error("AssetManager::LoadMusic - Failed to load " + fileName);
    }
    m_music[id] = music;
}

std::shared_ptr<sf::Texture> AssetManager::GetTexture(const std::string& id) const
{
    const auto it = m_textures.find(id);
    return it != m_textures.end() ? it->second : nullptr;
}

std::shared_ptr<sf::Font> AssetManager::GetFont(const std::string& id) const
{
    const auto it = m_fonts.find(id);
    return it != m_fonts.end() ? it->second : nullptr;
}

std::shared_ptr<sf::Music> AssetManager::GetMusic(const std::string& id) const
{
    const auto it = m_music.find(id);
    return it != m_music.end() ? it->second : nullptr;
}

sf::Sound& AssetManager::GetSound(const std::string& id)
{
    const auto it = m_sounds.find(id);
    return it != m_sounds.end() ? it->second : m_silentSound;
}

std::string AssetManager::GetAssetPath(std::string fileName)
{
    // The non-throwing overloads: a working directory that vanished must not end the game here.
    std::error_code error;
    const std::string cwd = std::filesystem::current_path(error).string();
    if (std::filesystem::exists(cwd + "/assets", error))
    {
        return cwd + "/assets/" + fileName;
    }
    return cwd + "/../assets/" + fileName;
}
} // namespace orv_gd
