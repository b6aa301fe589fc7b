#include "resources/AssetManager.h"

#include "resources/AssetFolder.h"
#include "resources/AssetLoadError.h"

#include <SFML/System/Err.hpp>

#include <sstream>
#include <streambuf>

namespace orv_gd
{
namespace
{
/// Holds what SFML's loaders write to sf::err() while one load runs, so that a failure is
/// reported in one line with the loader's reason instead of a stray line of SFML's own.
class LoaderMessages
{
public:
    LoaderMessages() : m_previous(sf::err().rdbuf(m_buffer.rdbuf())) {}
    ~LoaderMessages() { sf::err().rdbuf(m_previous); }

    LoaderMessages(const LoaderMessages&) = delete;
    LoaderMessages& operator=(const LoaderMessages&) = delete;

    /// The reason of the first message: after "Reason: ", or in its closing parentheses.
    std::string reason() const
    {
        std::string line;
        std::istringstream lines(m_buffer.str());
        while (line.empty() && std::getline(lines, line))
        {
        }
        if (const std::size_t at = line.find("Reason: "); at != std::string::npos)
        {
            return line.substr(at + 8);
        }
        const std::size_t open = line.rfind(" (");
        if (open != std::string::npos && !line.empty() && line.back() == ')')
        {
            return line.substr(open + 2, line.size() - open - 3);
        }
        return line;
    }

private:
    std::ostringstream m_buffer;
    std::streambuf* m_previous;
};

/// Loads with `load`; on failure throws "AssetManager::<loader> - Failed to load <file>".
template <typename Load>
void loadOrThrow(const char* loader, const std::string& fileName, Load load)
{
    LoaderMessages messages;
    if (!load(AssetManager::GetAssetPath(fileName)))
    {
        throw AssetLoadError(std::string("AssetManager::") + loader + " - Failed to load " + fileName,
                             fileName, messages.reason());
    }
}
} // namespace

AssetManager& AssetManager::getInstance()
{
    static AssetManager instance;
    return instance;
}

void AssetManager::LoadTexture(const std::string& id, const std::string& fileName)
{
    auto texture = std::make_shared<sf::Texture>();
    loadOrThrow("LoadTexture", fileName,
                [&](const std::string& path) { return texture->loadFromFile(path, sf::IntRect()); });
    m_textures[id] = texture;
}

void AssetManager::LoadSound(const std::string& id, const std::string& fileName)
{
    sf::SoundBuffer soundBuffer;
    loadOrThrow("LoadSound", fileName,
                [&](const std::string& path) { return soundBuffer.loadFromFile(path); });
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
    loadOrThrow("LoadFont", fileName, [&](const std::string& path) { return font->loadFromFile(path); });
    m_fonts[id] = font;
}

void AssetManager::LoadMusic(const std::string& id, const std::string& fileName)
{
    auto music = std::make_shared<sf::Music>();
    loadOrThrow("LoadMusic", fileName, [&](const std::string& path) { return music->openFromFile(path); });
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
    return AssetFolder::find(AssetFolder::workingFolder(), AssetFolder::executableFolder()) + "/" + fileName;
}
} // namespace orv_gd
