#pragma once

#include <SFML/Audio/Music.hpp>
#include <SFML/Audio/Sound.hpp>
#include <SFML/Audio/SoundBuffer.hpp>
#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <map>
#include <memory>
#include <string>

namespace orv_gd
{
/// Loads each asset file once under a short id and hands it out by id for the whole run.
/// Textures, music and fonts are shared with their users; sound buffers and sounds stay
/// here, and every user of a sound id plays the one sf::Sound stored under it.
/// A failed load throws AssetLoadError (a std::runtime_error) naming the file and the reason.
class AssetManager
{
public:
    static AssetManager& getInstance();

    void LoadTexture(const std::string& id, const std::string& fileName);
    void LoadSound(const std::string& id, const std::string& fileName);
    void LoadFont(const std::string& id, const std::string& fileName);
    void LoadMusic(const std::string& id, const std::string& fileName);

    std::shared_ptr<sf::Texture> GetTexture(const std::string& id) const;
    std::shared_ptr<sf::Font> GetFont(const std::string& id) const;
    std::shared_ptr<sf::Music> GetMusic(const std::string& id) const;
    /// The stored sound, or a silent sound without a buffer when the id was never loaded.
    sf::Sound& GetSound(const std::string& id);

    /// The file in the first asset folder that exists (AssetFolder: the working folder's "assets",
    /// the one above it, the installed one beside the executable), else cwd + "/../assets/" + fileName.
    static std::string GetAssetPath(std::string fileName);

private:
    AssetManager() = default;

    std::map<std::string, std::shared_ptr<sf::Texture>> m_textures;
    std::map<std::string, sf::SoundBuffer> m_soundBuffers;
    std::map<std::string, sf::Sound> m_sounds;
    std::map<std::string, std::shared_ptr<sf::Music>> m_music;
    std::map<std::string, std::shared_ptr<sf::Font>> m_fonts;
    sf::Sound m_silentSound;
};
} // namespace orv_gd
