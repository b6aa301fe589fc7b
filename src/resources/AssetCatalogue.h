#pragma once

namespace sf
{
class RenderWindow;
}

namespace orv_gd
{
/// Which files are loaded under which ids; loads them all once at start-up.
class AssetCatalogue
{
public:
    static AssetCatalogue& getInstance();

    void setWindow(sf::RenderWindow& window);
    void loadAssets();

private:
    AssetCatalogue() = default;

    void loadTextures();
    void loadFonts();
    void loadSounds();
    void loadMusic();

    sf::RenderWindow* m_window = nullptr;
};
} // namespace orv_gd
