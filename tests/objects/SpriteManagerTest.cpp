#include "objects/SpriteManager.h"

#include "RenderTestSupport.h"
#include "objects/CameraRenderComponent.h"
#include "objects/EventBus.h"
#include "objects/GameObject.h"
#include "objects/RenderableCreateEvent.h"
#include "objects/RenderableDestroyEvent.h"
#include "resources/TraceRecorder.h"
#include "support/ErrCapture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <regex>
#include <string>
#include <vector>

namespace orv_gd
{
using test::ErrCapture;
using test::RecordingRenderComponent;

namespace
{
/// A window, a sprite manager subscribed to the bus and a camera on the window's default view.
class SpriteManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_window = test::makeHiddenWindow();
        m_manager = std::make_unique<SpriteManager>(*m_window);
        m_manager->init();
        m_cameraObject = GameObject::create("Camera");
        m_cameraObject->setPosition(100.f, 75.f);
        m_camera = m_cameraObject->addComponent<CameraRenderComponent>(*m_cameraObject, *m_window,
                                                                       m_window->getDefaultView());
        m_camera->update(0.f);
        m_manager->setCamera(m_camera.get());
        m_manager->setLayerOrder({"Map", "Ui"});
    }

    void TearDown() override
    {
        ErrCapture quiet;
        if (m_manager)
        {
            m_manager->shutdown();
        }
    }

    /// A new object with one recording component, announced on the given layer.
    std::shared_ptr<RecordingRenderComponent> announce(const std::string& name, const std::string& layer,
                                                       sf::FloatRect rect = {},
                                                       sf::Color color = sf::Color::White)
    {
        std::shared_ptr<GameObject> object = GameObject::create(name);
        m_objects.push_back(object);
        auto component =
            object->addComponent<RecordingRenderComponent>(*object, *m_window, m_log, name, rect, color);
        EventBus::getInstance().fireEvent(std::make_shared<RenderableCreateEvent>(layer, *component));
        return component;
    }

    std::vector<std::string> drawFrame()
    {
        m_log.clear();
        m_window->clear(sf::Color::Black);
        m_manager->draw();
        return m_log;
    }

    std::unique_ptr<sf::RenderWindow> m_window;
    std::unique_ptr<SpriteManager> m_manager;
    std::shared_ptr<GameObject> m_cameraObject;
    std::shared_ptr<CameraRenderComponent> m_camera;
    std::vector<std::shared_ptr<GameObject>> m_objects;
    std::vector<std::string> m_log;
};

using Names = std::vector<std::string>;
} // namespace

TEST_F(SpriteManagerTest, DrawsLayersInOrderAndMembersInJoiningOrder)
{
    announce("hud", "Ui");
    announce("runner", "Map");
    const auto safeZone = announce("safezone", "Background");
    announce("block", "Map");

    EXPECT_EQ(drawFrame(), (Names{"runner", "block", "hud"}));
    EXPECT_EQ(m_manager->getLayer(*safeZone), "Background");
    EXPECT_EQ(m_manager->getLayerMembers("Background").size(), 1u);
    EXPECT_TRUE(m_manager->getLayerMembers("nowhere").empty());

    m_manager->setLayerOrder({"Ui", "Map"});
    EXPECT_EQ(drawFrame(), (Names{"hud", "runner", "block"}));
}

TEST_F(SpriteManagerTest, InactiveObjectsAreSkippedButKept)
{
    announce("first", "Map", {0.f, 0.f, 20.f, 20.f}, sf::Color::Red);
    announce("second", "Map");
    m_manager->setLayerOrder({"Map"});
    m_objects[0]->setActive(false);

    EXPECT_EQ(drawFrame(), (Names{"second"}));
    EXPECT_EQ(test::grab(*m_window).getPixel(10, 10), sf::Color::Black);
    EXPECT_EQ(m_manager->getLayerMembers("Map").size(), 2u);

    m_objects[0]->setActive(true);
    EXPECT_EQ(drawFrame(), (Names{"first", "second"}));
    EXPECT_EQ(test::grab(*m_window).getPixel(10, 10), sf::Color::Red);
}

TEST_F(SpriteManagerTest, LaterMembersPaintOverEarlierOnes)
{
    announce("under", "Map", {0.f, 0.f, 40.f, 40.f}, sf::Color::Red);
    announce("hud", "Ui", {20.f, 20.f, 40.f, 40.f}, sf::Color::Green);
    announce("over", "Map", {10.f, 10.f, 20.f, 20.f}, sf::Color::Blue);
    drawFrame();
    const sf::Image image = test::grab(*m_window);
    EXPECT_EQ(image.getPixel(5, 5), sf::Color::Red);
    EXPECT_EQ(image.getPixel(15, 15), sf::Color::Blue);
    EXPECT_EQ(image.getPixel(25, 25), sf::Color::Green); // "Ui" after all of "Map"
    EXPECT_EQ(image.getPixel(100, 100), sf::Color::Black);
}

TEST_F(SpriteManagerTest, MovingBetweenLayersIsReportedAndDrawnOnce)
{
    const auto icon = announce("icon", "Map");
    announce("block", "Map");
    announce("bar", "Ui");

    ErrCapture err;
    m_manager->setLayer("Ui", *icon);
    EXPECT_TRUE(
        std::regex_match(err.text(), std::regex(".*SpriteManager\\.cpp Line: [0-9]+ Removing component from "
                                                "layer, before adding to new layer\\. from Map to Ui\n")))
        << err.text();
    EXPECT_EQ(m_manager->getLayer(*icon), "Ui");
    EXPECT_EQ(drawFrame(), (Names{"block", "bar", "icon"}));

    // Setting the same layer again is reported too and moves it to the end of that layer.
    m_manager->setLayer("Map", *icon);
    m_manager->setLayer("Map", *icon);
    EXPECT_EQ(m_manager->getLayerMembers("Map").size(), 2u);
    EXPECT_EQ(drawFrame(), (Names{"block", "icon", "bar"}));
}

TEST_F(SpriteManagerTest, DestroyEventsTakeMembersOffSilently)
{
    const auto runner = announce("runner", "Map");
    announce("bar", "Ui");
    std::shared_ptr<GameObject> stranger = GameObject::create("stranger");
    RecordingRenderComponent unknown(*stranger, *m_window, m_log, "stranger");

    ErrCapture err;
    EventBus::getInstance().fireEvent(std::make_shared<RenderableDestroyEvent>("Map", unknown));
    EXPECT_EQ(m_manager->getLayerMembers("Map").size(), 1u);

    // The layer named in the event does not matter; the recorded one does.
    EventBus::getInstance().fireEvent(std::make_shared<RenderableDestroyEvent>("Ui", *runner));
    EXPECT_EQ(m_manager->getLayer(*runner), "");
    EXPECT_TRUE(m_manager->getLayerMembers("Map").empty());
    EXPECT_EQ(m_manager->getLayerMembers("Ui").size(), 1u);
    m_manager->removeComponent(*runner);
    EXPECT_EQ(err.text(), "");

    // An emptied layer stays defined and draws nothing.
    EXPECT_EQ(drawFrame(), (Names{"bar"}));
}

TEST_F(SpriteManagerTest, ShutdownForgetsEverythingAndUnsubscribes)
{
    announce("runner", "Map");
    ErrCapture err;
    m_manager->shutdown();
    EXPECT_EQ(err.text(), "Removed m_listener with given m_id. 1\nRemoved m_listener with given m_id. 2\n");
    EXPECT_EQ(m_manager->getCamera(), nullptr);
    EXPECT_TRUE(m_manager->getLayerMembers("Map").empty());

    err.clear();
    const auto late = announce("late", "Map");
    EXPECT_EQ(m_manager->getLayer(*late), "");
    EXPECT_EQ(err.text(), "");

    // Ready for the next match: new subscriptions, new ids.
    m_manager->init();
    const auto next = announce("next", "Map");
    EXPECT_EQ(m_manager->getLayer(*next), "Map");
    m_manager->shutdown();
    EXPECT_EQ(err.text(), "Removed m_listener with given m_id. 3\nRemoved m_listener with given m_id. 4\n");
}

TEST_F(SpriteManagerTest, DestructionWithoutShutdownLeavesNoListenerBehind)
{
    ErrCapture err;
    m_manager.reset();
    EXPECT_EQ(err.text(), "Removed m_listener with given m_id. 1\nRemoved m_listener with given m_id. 2\n");
    announce("runner", "Map"); // would reach a destroyed manager otherwise
}

TEST_F(SpriteManagerTest, DrawingWithoutCameraStops)
{
    announce("runner", "Map");
    announce("bar", "Ui");
    m_manager->setCamera(nullptr);
    EXPECT_DEATH(m_manager->draw(), "SpriteManager\\.cpp Line: [0-9]+ Camera is nullptr");
}

TEST_F(SpriteManagerTest, DrawingAnUndefinedLayerStops)
{
    announce("runner", "Map");
    EXPECT_DEATH(m_manager->draw(), "SpriteManager\\.cpp Line: [0-9]+ Layer with this name not defined: Ui");
}

TEST_F(SpriteManagerTest, EachDrawnLayerIsOneTraceScope)
{
    announce("runner", "Map");
    announce("bar", "Ui");
    announce("safezone", "Background");
    const std::string path = ::testing::TempDir() + "sprite_manager_trace.json";
    TraceRecorder::get().beginSession("test", path);
    drawFrame();
    TraceRecorder::get().endSession();

    std::ifstream file(path);
    const std::string trace((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::remove(path.c_str());
    const std::regex name("\"name\":\"([^\"]*)\"");
    Names names;
    for (auto it = std::sregex_iterator(trace.begin(), trace.end(), name); it != std::sregex_iterator(); ++it)
    {
        names.push_back((*it)[1]);
    }
    EXPECT_EQ(names, (Names{"Map", "Ui"})) << trace;
}
} // namespace orv_gd
