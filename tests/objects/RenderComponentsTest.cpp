#include "objects/CameraRenderComponent.h"
#include "objects/SpriteRenderComponent.h"

#include "RenderTestSupport.h"
#include "TestComponents.h"
#include "objects/GameObject.h"
#include "objects/GameObjectManager.h"
#include "objects/SpriteManager.h"
#include "support/ErrCapture.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace orv_gd
{
using test::ErrCapture;
using test::RecordingRenderComponent;
using test::StepAnimation;

namespace
{
std::shared_ptr<sf::Texture> makeTexture(unsigned width, unsigned height, sf::Color color)
{
    sf::Image image;
    image.create(width, height, color);
    auto texture = std::make_shared<sf::Texture>();
    texture->loadFromImage(image);
    return texture;
}

/// A window and a sprite manager drawing "Map" then "Ui", as in a match.
class RenderComponentsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_window = test::makeHiddenWindow();
        m_sprites = std::make_unique<SpriteManager>(*m_window);
        m_sprites->init();
        m_sprites->setLayerOrder({"Map", "Ui"});
    }

    void TearDown() override
    {
        ErrCapture quiet;
        m_sprites->shutdown();
    }

    std::unique_ptr<sf::RenderWindow> m_window;
    std::unique_ptr<SpriteManager> m_sprites;
    std::vector<std::string> m_log;
};
} // namespace

TEST_F(RenderComponentsTest, SpriteJoinsItsLayerAtConstructionAndLeavesAtDestruction)
{
    const std::shared_ptr<GameObject> icon = GameObject::create("0_ProgressBarIcon");
    auto sprite =
        icon->addComponent<SpriteRenderComponent>(*icon, *m_window, makeTexture(8, 8, sf::Color::Red), "Ui");
    EXPECT_EQ(m_sprites->getLayer(*sprite), "Ui");
    EXPECT_EQ(m_sprites->getLayerMembers("Ui").size(), 1u);

    ErrCapture err;
    icon->removeComponent(sprite);
    sprite.reset(); // the last share: the component is destroyed here
    EXPECT_TRUE(m_sprites->getLayerMembers("Ui").empty());
    EXPECT_EQ(err.text(), "");
}

TEST_F(RenderComponentsTest, SpriteShowsWholeTextureAndFollowsOnlyThePosition)
{
    const std::shared_ptr<GameObject> icon = GameObject::create("1_ProgressBarIcon");
    auto sprite =
        icon->addComponent<SpriteRenderComponent>(*icon, *m_window, makeTexture(16, 8, sf::Color::Red), "Ui");
    sprite->getSprite().setScale(2.f, 2.f);
    ASSERT_TRUE(icon->init());
    EXPECT_EQ(sprite->getSprite().getTextureRect(), sf::IntRect(0, 0, 16, 8));

    icon->setPosition(30.f, 40.f);
    icon->setRotation(45.f);
    icon->setScale(5.f, 5.f);
    icon->update(0.f);
    EXPECT_EQ(sprite->getSprite().getPosition(), sf::Vector2f(30.f, 40.f));
    EXPECT_FLOAT_EQ(sprite->getSprite().getRotation(), 0.f);
    EXPECT_EQ(sprite->getSprite().getScale(), sf::Vector2f(2.f, 2.f));

    const std::shared_ptr<GameObject> cameraObject = GameObject::create("Camera");
    cameraObject->setPosition(100.f, 75.f);
    auto camera = cameraObject->addComponent<CameraRenderComponent>(*cameraObject, *m_window,
                                                                    m_window->getDefaultView());
    camera->update(0.f);
    m_sprites->setCamera(camera.get());
    RecordingRenderComponent nothing(*cameraObject, *m_window, m_log, "nothing");
    m_sprites->setLayer("Map", nothing);

    m_window->clear(sf::Color::Black);
    m_sprites->draw();
    const sf::Image image = test::grab(*m_window);
    // 16 x 8 scaled by 2 from (30, 40): x 30..61, y 40..55.
    EXPECT_EQ(image.getPixel(31, 41), sf::Color::Red);
    EXPECT_EQ(image.getPixel(60, 54), sf::Color::Red);
    EXPECT_EQ(image.getPixel(63, 54), sf::Color::Black);
    EXPECT_EQ(image.getPixel(60, 57), sf::Color::Black);
    m_sprites->removeComponent(nothing);
}

TEST_F(RenderComponentsTest, CameraCentresItsViewOnTheObject)
{
    const std::shared_ptr<GameObject> cameraObject = GameObject::create("Camera");
    sf::View view({0.f, 0.f, 800.f, 600.f});
    view.setRotation(10.f);
    view.setViewport({0.f, 0.f, 0.5f, 0.5f});
    auto camera = cameraObject->addComponent<CameraRenderComponent>(*cameraObject, *m_window, view);
    EXPECT_TRUE(camera->init());

    cameraObject->setPosition(400.f, 300.f);
    camera->update(0.f);
    const sf::View& current = m_window->getView();
    EXPECT_EQ(current.getCenter(), sf::Vector2f(400.f, 300.f));
    EXPECT_EQ(current.getSize(), sf::Vector2f(800.f, 600.f));
    EXPECT_FLOAT_EQ(current.getRotation(), 10.f);
    EXPECT_EQ(current.getViewport(), sf::FloatRect(0.f, 0.f, 0.5f, 0.5f));

    cameraObject->setPosition(-20.f, 5.f);
    EXPECT_EQ(m_window->getView().getCenter(), sf::Vector2f(400.f, 300.f)); // not before the update
    camera->update(0.f);
    EXPECT_EQ(m_window->getView().getCenter(), sf::Vector2f(-20.f, 5.f));
}

TEST_F(RenderComponentsTest, CameraFollowsItsObjectFromTheNextUpdate)
{
    // As in a match: the camera component precedes the movement, so each frame's view shows
    // where the camera object was at the end of the previous frame.
    GameObjectManager& objects = GameObjectManager::getInstance();
    const std::shared_ptr<GameObject> cameraObject = GameObject::create("Camera");
    cameraObject->setPosition(100.f, 75.f);
    auto camera = cameraObject->addComponent<CameraRenderComponent>(*cameraObject, *m_window,
                                                                    m_window->getDefaultView());
    cameraObject->addComponent<StepAnimation>(*cameraObject, 10.f);
    ASSERT_TRUE(cameraObject->init());
    objects.addGameObject(cameraObject);
    m_sprites->setCamera(camera.get());

    // A white stripe at world x 100..109, full height.
    const std::shared_ptr<GameObject> wall = GameObject::create("map_0_0");
    RecordingRenderComponent stripe(*wall, *m_window, m_log, "stripe", {100.f, 0.f, 10.f, 150.f});
    RecordingRenderComponent hud(*wall, *m_window, m_log, "hud");
    m_sprites->setLayer("Map", stripe);
    m_sprites->setLayer("Ui", hud);

    auto frame = [&]()
    {
        objects.update(0.016f);
        m_window->clear(sf::Color::Black);
        m_sprites->draw();
        return test::grab(*m_window);
    };

    ErrCapture err;
    sf::Image image = frame();
    EXPECT_EQ(cameraObject->getPosition(), sf::Vector2f(110.f, 75.f));
    EXPECT_EQ(image.getPixel(105, 75), sf::Color::White); // view centred on 100: no shift yet
    EXPECT_EQ(image.getPixel(95, 75), sf::Color::Black);

    image = frame();
    EXPECT_EQ(image.getPixel(95, 75), sf::Color::White); // 10 pixels to the left
    EXPECT_EQ(image.getPixel(105, 75), sf::Color::Black);

    image = frame();
    EXPECT_EQ(image.getPixel(85, 75), sf::Color::White);
    EXPECT_EQ(image.getPixel(95, 75), sf::Color::Black);

    EXPECT_EQ(err.text(), "");
    m_sprites->removeComponent(stripe);
    m_sprites->removeComponent(hud);
    objects.shutdown();
}
} // namespace orv_gd
