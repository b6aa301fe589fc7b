#pragma once

#include "match/BlockComponent.h"
#include "match/BlockType.h"
#include "objects/GameObject.h"

#include <SFML/Audio/SoundBuffer.hpp>
#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace orv_gd::test
{
/// A hidden borderless window for block and grid tests (blocks hold a shader: needs Xvfb).
inline std::unique_ptr<sf::RenderWindow> makeFieldWindow(unsigned width = 400, unsigned height = 300)
{
    auto window =
        std::make_unique<sf::RenderWindow>(sf::VideoMode(width, height), "field test", sf::Style::None);
    window->setVisible(false);
    window->setPosition({0, 0});
    return window;
}

/// What has been drawn into the window so far.
inline sf::Image grabField(sf::RenderWindow& window)
{
    sf::Texture texture;
    texture.create(window.getSize().x, window.getSize().y);
    texture.update(window);
    return texture.copyToImage();
}

/// A light shader that tints the whole rectangle with the block's light, enough to see it drawn.
inline const char* const TintShader = "#version 120\n"
                                      "uniform vec2 ScreenPos;\n"
                                      "uniform vec2 coneScale;\n"
                                      "uniform vec3 lightColor;\n"
                                      "uniform float remainingTime;\n"
                                      "void main()\n"
                                      "{\n"
                                      "    float unused = 0.0 * (ScreenPos.x + coneScale.y);\n"
                                      "    gl_FragColor = vec4(lightColor * remainingTime + unused, 1.0);\n"
                                      "}\n";

/// Moves the test process into a fresh folder with an "assets" tree, so the asset paths resolve
/// there. Each test case runs in its own process, so changing the working directory is safe.
class TempAssets
{
public:
    TempAssets()
    {
        char pattern[] = "/tmp/tumbrelt-field-XXXXXX";
        m_root = mkdtemp(pattern);
        std::filesystem::create_directories(m_root / "assets" / "shaders");
        std::filesystem::create_directories(m_root / "assets" / "sounds");
        std::filesystem::current_path(m_root);
    }
    ~TempAssets()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }

    void writeShader(const std::string& source = TintShader) const
    {
        std::ofstream(m_root / "assets" / "shaders" / "BloomShader.frag") << source;
    }
    void removeShader() const { std::filesystem::remove(m_root / "assets" / "shaders" / "BloomShader.frag"); }

    /// A short tone as "sounds/<name>.wav"; returns the file name below the asset folder.
    std::string writeSound(const std::string& name) const
    {
        std::vector<sf::Int16> samples(22050);
        for (std::size_t i = 0; i < samples.size(); ++i)
        {
            samples[i] = static_cast<sf::Int16>((i % 100) * 100);
        }
        sf::SoundBuffer buffer;
        buffer.loadFromSamples(samples.data(), samples.size(), 1, 44100);
        const std::string fileName = "sounds/" + name + ".wav";
        buffer.saveToFile((m_root / "assets" / fileName).string());
        return fileName;
    }

private:
    std::filesystem::path m_root;
};

/// A game object with one block on it; the object is kept alive in the given list.
inline std::shared_ptr<BlockComponent> makeBlock(std::vector<std::shared_ptr<GameObject>>& keep,
                                                 sf::RenderWindow& window, const std::string& id,
                                                 sf::Vector2i cell, BlockType type = BlockType::Dynamic,
                                                 bool ghost = false)
{
    std::shared_ptr<GameObject> object = GameObject::create(id);
    keep.push_back(object);
    std::shared_ptr<BlockComponent> block = object->addComponent<BlockComponent>(
        *object, window, cell, BlockComponent::colorForType(type), ghost, type);
    block->init();
    return block;
}
} // namespace orv_gd::test
