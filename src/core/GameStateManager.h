#pragma once

#include <memory>
#include <string>
#include <unordered_map>

namespace orv_gd
{
class GameState;

/// Owns the screens by name and keeps one current. A switch is requested now and carried
/// out at the start of the next update, so the requesting state finishes its frame.
class GameStateManager
{
public:
    void registerState(const std::string& name, std::shared_ptr<GameState> state);
    GameState* findState(const std::string& name) const;
    void setState(const std::string& name);
    void update(float deltaTime);
    void draw();
    void shutdown();
    void changeState(GameState* state);

    GameState* getCurrentState() const { return m_currentState; }
    GameState* getPendingState() const { return m_pendingState; }

private:
    std::unordered_map<std::string, std::shared_ptr<GameState>> m_states;
    GameState* m_currentState = nullptr;
    GameState* m_pendingState = nullptr;
};
} // namespace orv_gd
