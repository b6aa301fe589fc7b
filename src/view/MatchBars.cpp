#include "view/MatchBars.h"

#include "objects/EventBus.h"
#include "objects/GameObject.h"
#include "objects/GameObjectCreateEvent.h"
#include "objects/RenderableCreateEvent.h"
#include "objects/SpriteRenderComponent.h"
#include "resources/AssetManager.h"
#include "rules/Match.h"
#include "view/Palette.h"
#include "view/ProgressBarComponent.h"

#include <SFML/Graphics/RenderWindow.hpp>

#include <algorithm>
#include <array>
#include <string>

namespace orv_gd
{
namespace
{
/// One HUD bar: its icon and the values at which it is empty and full.
struct HudBar
{
    const char* icon;
    float emptyValue;
    float fullValue;
};

// Turn time (drains as the turn runs; empty at the match's own turn time, set when the bars are
// made), then the Runner's moves,
// jump force (full at the walking cap, as its number counts it; a bump's force past the cap shows
// full), resets and turns.
const std::array<HudBar, 5> Bars{{
    {"time", 0.0f, 0.0f},
    {"x-movement", 0.0f, rules::Match::MovesPerTurn},
    {"y-movement", 0.0f, rules::Match::MaxJumpForce},
    {"reset", 0.0f, rules::Match::StartResets},
    {"turns", 0.0f, rules::Match::StartTurns},
}};

/// A hundredth of the window's width and height: the bars are laid out in these.
sf::Vector2f percent(const sf::RenderWindow& window)
{
    const sf::Vector2u windowSize = window.getSize();
    return {static_cast<float>(windowSize.x) / 100.0f, static_cast<float>(windowSize.y) / 100.0f};
}
} // namespace

MatchBars::MatchBars(sf::RenderWindow& window, EventBus& events) : m_window(window), m_events(events) {}

void MatchBars::make(float turnLimit)
{
    clear();
    AssetManager& assets = AssetManager::getInstance();
    const sf::Vector2f unit = percent(m_window);
    for (std::size_t i = 0; i < Bars.size(); ++i)
    {
        const HudBar& kind = Bars[i];
        std::shared_ptr<GameObject> bar = GameObject::create(std::to_string(i) + "_ProgressBar");
        // The time bar drains over this match's turn.
        const float emptyValue = i == 0 ? turnLimit : kind.emptyValue;
        // Starts at the larger limit: the time bar empty, the others full until the first refresh.
        const float initialValue = std::max(emptyValue, kind.fullValue);
        std::shared_ptr<ProgressBarComponent> barComponent = bar->addComponent<ProgressBarComponent>(
            *bar, m_window, sf::Vector2f(12.0f * unit.x, 2.5f * unit.y), initialValue, emptyValue,
            kind.fullValue);
        m_events.fireEvent(std::make_shared<RenderableCreateEvent>("Ui", *barComponent));
        bar->init();
        m_events.fireEvent(std::make_shared<GameObjectCreateEvent>(bar));
        m_bars.push_back(bar);

        std::shared_ptr<GameObject> icon = GameObject::create(std::to_string(i) + "_ProgressBarIcon");
        icon->addComponent<SpriteRenderComponent>(*icon, m_window, assets.GetTexture(kind.icon), "Ui");
        icon->init();
        m_events.fireEvent(std::make_shared<GameObjectCreateEvent>(icon));
        m_icons.push_back(icon);
    }
    resize();
}

void MatchBars::resize()
{
    const sf::Vector2f unit = percent(m_window);
    for (const std::shared_ptr<GameObject>& bar : m_bars)
    {
        if (const auto component = bar->getComponent<ProgressBarComponent>())
        {
            component->setSize({12.0f * unit.x, 2.5f * unit.y});
        }
    }
    for (const std::shared_ptr<GameObject>& icon : m_icons)
    {
        const auto sprite = icon->getComponent<SpriteRenderComponent>();
        if (!sprite)
        {
            continue;
        }
        sf::Sprite& iconSprite = sprite->getSprite();
        const sf::FloatRect bounds = iconSprite.getLocalBounds();
        if (bounds.width > 0.0f && bounds.height > 0.0f)
        {
            iconSprite.setScale(4.0f * unit.x / bounds.width, 4.0f * unit.x / bounds.height);
        }
        iconSprite.setOrigin(bounds.left + bounds.width / 2.0f, bounds.top + bounds.height / 2.0f);
    }
}

void MatchBars::refresh(const sf::Vector2f& cameraPosition, const HudReadings& readings)
{
    const sf::Vector2f unit = percent(m_window);
    const bool runnersTurn = readings.role == StrategyType::Runner;
    // What each bar shows, by the number in its name: the turn's time, then the Runner's resources.
    const std::array<float, Bars.size()> values{
        readings.timeInTurn, static_cast<float>(readings.steps), static_cast<float>(readings.jumpForce),
        static_cast<float>(readings.resetsLeft), static_cast<float>(readings.turnsLeft)};
    // The bars sit in a row of slots at the bottom of the view, each icon on its bar.
    const auto slot = [&](std::size_t i)
    {
        return sf::Vector2f(cameraPosition.x - 30.0f * unit.x + 15.0f * unit.x * static_cast<float>(i),
                            cameraPosition.y + 40.0f * unit.y);
    };
    for (std::size_t i = 0; i < m_bars.size(); ++i)
    {
        const std::shared_ptr<GameObject>& bar = m_bars[i];
        bar->setPosition(slot(i));
        const std::shared_ptr<ProgressBarComponent> component = bar->getComponent<ProgressBarComponent>();
        if (!component)
        {
            continue;
        }
        const std::string name = bar->getId();
        const int id = std::stoi(name.substr(0, name.size() - 11));
        const float value =
            id >= 0 && id < static_cast<int>(values.size()) ? values[static_cast<std::size_t>(id)] : 0.0f;
        component->setValue(value);
        component->setBarColor(runnersTurn ? PaletteBlue : id == 0 ? PaletteAmber : PaletteGrey);
        component->setBackgroundColor(runnersTurn ? PaletteGrey : PaletteDark);
    }
    for (std::size_t i = 0; i < m_icons.size(); ++i)
    {
        m_icons[i]->setPosition(slot(i));
    }
}

void MatchBars::clear()
{
    m_bars.clear();
    m_icons.clear();
}
} // namespace orv_gd
