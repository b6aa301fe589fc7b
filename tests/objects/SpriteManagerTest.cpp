#include "objects/SpriteManager.h"

#include "TestComponents.h"
#include "objects/CameraRenderComponent.h"
#include "objects/RenderableCreateEvent.h"
#include "objects/RenderableDestroyEvent.h"
#include "objects/SpriteRenderComponent.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Texture.hpp>

namespace orv_gd::test
{
/// A sprite manager drawing "Map" then "Ui" through a camera whose view starts as the window's default.
struct SpriteManagerTest : ::testing::Test
{
    void SetUp() override
    {
        m_window->setVisible(false);
        m_manager->init();
        m_manager->setCamera(m_camera.get());
        m_manager->setLayerOrder({"Map", "Ui"});
    }

    /// A new object of that id with a recording component, announced on the layer.
    IRenderComponent& announce(const std::string& id, const std::string& layer, sf::FloatRect rect = {},
                               sf::Color color = sf::Color::White)
    {
        GameObject& object = *m_objects.emplace_back(GameObject::create(id));
        auto& component =
            *object.addComponent<RecordingRenderComponent>(object, *m_window, m_log, rect, color);
        EventBus::getInstance().fireEvent(std::make_shared<RenderableCreateEvent>(layer, component));
        return component;
    }

    /// Draws a frame; returns the ids drawn and keeps the picture in m_image.
    Log drawFrame()
    {
        m_log.clear();
        m_window->clear(sf::Color::Black);
        m_manager->draw();
        sf::Texture texture;
        texture.create(200, 150);
        texture.update(*m_window);
        m_image = texture.copyToImage();
        return m_log;
    }

    std::unique_ptr<sf::RenderWindow> m_window =
        std::make_unique<sf::RenderWindow>(sf::VideoMode(200, 150), "objects test", sf::Style::None);
    std::unique_ptr<SpriteManager> m_manager = std::make_unique<SpriteManager>(*m_window);
    std::shared_ptr<GameObject> m_cameraObject = GameObject::create("Camera");
    std::shared_ptr<CameraRenderComponent> m_camera = m_cameraObject->addComponent<CameraRenderComponent>(
        *m_cameraObject, *m_window, m_window->getDefaultView());
    std::vector<std::shared_ptr<GameObject>> m_objects;
    Log m_log;
    sf::Image m_image;
};

TEST_F(SpriteManagerTest, DrawsLayersInOrderMembersInJoiningOrderSkipsInactiveNeverBackground)
{
    announce("runner", "Map", {0.f, 0.f, 40.f, 40.f}, sf::Color::Red);
    EXPECT_DEATH(m_manager->draw(), "SpriteManager\\.cpp Line: [0-9]+ Layer with this name not defined: Ui");
    announce("hud", "Ui", {20.f, 20.f, 40.f, 40.f}, sf::Color::Green);
    announce("safezone", "Background", {0.f, 0.f, 200.f, 150.f}, sf::Color::Yellow);
    announce("block", "Map", {10.f, 10.f, 20.f, 20.f}, sf::Color::Blue);
    EXPECT_EQ(drawFrame(), (Log{"runner", "block", "hud"}));
    EXPECT_EQ(m_image.getPixel(5, 5), sf::Color::Red);
    EXPECT_EQ(m_image.getPixel(15, 15), sf::Color::Blue);
    EXPECT_EQ(m_image.getPixel(25, 25), sf::Color::Green);
    m_objects[0]->setActive(false); // skipped, but kept on its layer
    EXPECT_EQ(drawFrame(), (Log{"block", "hud"}));
    EXPECT_EQ(m_manager->getLayerMembers("Map").size(), 2u);
    m_manager->setCamera(nullptr);
    EXPECT_DEATH(m_manager->draw(), "SpriteManager\\.cpp Line: [0-9]+ Camera is nullptr");
}

/// Gives its rectangle as plain triangles, so the manager batches it rather than calling draw().
struct PlainRenderComponent : RecordingRenderComponent
{
    using RecordingRenderComponent::RecordingRenderComponent;
    const sf::VertexArray* getTriangles() override
    {
        m_triangles.clear();
        const sf::FloatRect r = m_shape.getGlobalBounds();
        for (const sf::Vector2f at : {sf::Vector2f(r.left, r.top),
                                      {r.left + r.width, r.top},
                                      {r.left + r.width, r.top + r.height},
                                      {r.left, r.top},
                                      {r.left + r.width, r.top + r.height},
                                      {r.left, r.top + r.height}})
        {
            m_triangles.append(sf::Vertex(at, m_shape.getFillColor()));
        }
        return &m_triangles;
    }
    sf::VertexArray m_triangles{sf::Triangles};
};

TEST_F(SpriteManagerTest, PlainMembersGoInOneBatchThatIsDrawnBeforeTheNextOtherMemberAndAtTheLayersEnd)
{
    const auto plain = [this](const std::string& id, sf::FloatRect rect, sf::Color color)
    {
        GameObject& object = *m_objects.emplace_back(GameObject::create(id));
        auto& component = *object.addComponent<PlainRenderComponent>(object, *m_window, m_log, rect, color);
        EventBus::getInstance().fireEvent(std::make_shared<RenderableCreateEvent>("Map", component));
    };
    announce("hud", "Ui");
    plain("under", {0.f, 0.f, 40.f, 40.f}, sf::Color::Red);
    plain("hidden", {0.f, 0.f, 10.f, 10.f}, sf::Color::Yellow);
    announce("runner", "Map", {20.f, 20.f, 40.f, 40.f}, sf::Color::Green);
    plain("over", {30.f, 30.f, 20.f, 20.f}, sf::Color::Blue);
    m_objects[2]->setActive(false);
    EXPECT_EQ(drawFrame(), (Log{"runner", "hud"})) << "the plain members are never asked to draw";
    EXPECT_EQ(m_image.getPixel(5, 5), sf::Color::Red) << "an inactive plain member is left out";
    EXPECT_EQ(m_image.getPixel(25, 25), sf::Color::Green) << "the batch before a member is drawn before it";
    EXPECT_EQ(m_image.getPixel(35, 35), sf::Color::Blue) << "the batch at the layer's end is drawn";
}

TEST_F(SpriteManagerTest, MovesAreReportedDestroyEventsLeaveTheRecordedLayerShutdownAndDestructionUnsubscribe)
{
    IRenderComponent& icon = announce("icon", "Map");
    announce("block", "Map");
    announce("bar", "Ui");
    ErrCapture err;
    m_manager->setLayer("Ui", icon);
    EXPECT_THAT(err.text(),
                testing::MatchesRegex(".*SpriteManager\\.cpp Line: [0-9]+ Removing component from "
                                      "layer, before adding to new layer\\. from Map to Ui\n"));
    EXPECT_EQ(drawFrame(), (Log{"block", "bar", "icon"}));
    m_manager->setLayer("Map", icon); // to the end of its layer
    EXPECT_EQ(drawFrame(), (Log{"block", "icon", "bar"}));
    // The event's layer name does not count, and components never announced are ignored.
    EventBus::getInstance().fireEvent(std::make_shared<RenderableDestroyEvent>("Ui", icon));
    EventBus::getInstance().fireEvent(std::make_shared<RenderableDestroyEvent>("Map", *m_camera));
    EXPECT_EQ(drawFrame(), (Log{"block", "bar"}));
    err.clear();
    m_manager->shutdown();
    EXPECT_EQ(m_manager->getCamera(), nullptr);
    EXPECT_EQ(m_manager->getLayer(announce("late", "Map")), "");
    m_manager->init(); // ready for the next match; destruction without shutdown unsubscribes
    EXPECT_EQ(m_manager->getLayer(announce("next", "Map")), "Map");
    m_manager.reset();
    announce("after", "Map"); // would reach a destroyed manager otherwise
    EXPECT_THAT(err.text(), testing::MatchesRegex("(Removed m_listener with given m_id. [0-9]+\n){4}"));
}

TEST_F(SpriteManagerTest, SpriteDrawsAtItsObjectAndTheViewFollowsTheCameraFromItsNextUpdate)
{
    // A white stripe at world x 100..109, full height.
    const std::shared_ptr<GameObject> wall = GameObject::create("map_0_0");
    wall->setPosition(100.f, 0.f);
    sf::Image white;
    white.create(10, 150, sf::Color::White);
    auto texture = std::make_shared<sf::Texture>();
    texture->loadFromImage(white);
    auto stripe = wall->addComponent<SpriteRenderComponent>(*wall, *m_window, texture, "Ui");
    ASSERT_TRUE(wall->init());
    wall->update(0.f);
    announce("map", "Map");
    const auto stripeAt = [this](unsigned x)
    {
        drawFrame();
        return m_image.getPixel(x, 0) == sf::Color::White &&
               m_image.getPixel(x + 9, 149) == sf::Color::White &&
               m_image.getPixel(x - 1, 75) == sf::Color::Black;
    };
    EXPECT_TRUE(stripeAt(100));
    m_cameraObject->setPosition(110.f, 75.f);
    EXPECT_TRUE(stripeAt(100)); // the view moves at the camera's next update
    m_camera->update(0.f);
    EXPECT_TRUE(stripeAt(90));
    wall->removeComponent(stripe);
    stripe.reset(); // the last share: the sprite leaves its layer
    EXPECT_TRUE(m_manager->getLayerMembers("Ui").empty());
}
} // namespace orv_gd::test
