#pragma once

#include "objects/GameObject.h"
#include "objects/IAnimationComponent.h"
#include "objects/IComponent.h"

#include <string>
#include <vector>

namespace orv_gd::test
{
/// A component that writes "<name>.init" / "<name>.update" into a shared log.
class RecordingComponent : public IComponent
{
public:
    RecordingComponent(GameObject& gameObject, std::vector<std::string>& log, std::string name,
                       bool initResult = true)
        : IComponent(gameObject), m_log(log), m_name(std::move(name)), m_initResult(initResult)
    {
    }

    bool init() override
    {
        m_log.push_back(m_name + ".init");
        return m_initResult;
    }

    void update(float deltaTime) override
    {
        m_log.push_back(m_name + ".update");
        m_lastDeltaTime = deltaTime;
    }

    const std::string& getName() const { return m_name; }
    float getLastDeltaTime() const { return m_lastDeltaTime; }

private:
    std::vector<std::string>& m_log;
    std::string m_name;
    bool m_initResult;
    float m_lastDeltaTime = 0.f;
};

/// Derives from RecordingComponent, to check lookups by dynamic type.
class DerivedRecordingComponent : public RecordingComponent
{
public:
    using RecordingComponent::RecordingComponent;
};

/// An animation component that moves its object by a fixed step every update.
class StepAnimation : public IAnimationComponent
{
public:
    StepAnimation(GameObject& gameObject, float stepX) : IAnimationComponent(gameObject), m_stepX(stepX) {}

    bool init() override { return true; }
    void update(float /*deltaTime*/) override { m_gameObject.move(m_stepX, 0.f); }

private:
    float m_stepX;
};
} // namespace orv_gd::test
