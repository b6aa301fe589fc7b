#include "screens/Screens.h"

#include "core/Game.h"
#include "core/GameStateManager.h"
#include "net/NetPlay.h"
#include "replay/ReplayFolder.h"
#include "resources/SafeFile.h"
#include "screens/EndState.h"
#include "screens/MainState.h"
#include "screens/MenuState.h"
#include "screens/NetworkScreens.h"
#include "screens/SettingsState.h"
#include "screens/TutorialState.h"

#include <memory>

namespace orv_gd
{
void registerScreens(GameStateManager* states, Game* game)
{
    // A keeping cut short last time left its temporary: gone before anything is kept again. The
    // join address is kept in the working folder.
    SafeFile::removeStale("", JoinState::AddressFile);
    if (!game->getReplayFolder().empty())
    {
        SafeFile::removeStale(game->getReplayFolder(), ReplayFolder::Extension);
    }
    // The screens only set fields here; the window does not exist yet.
    auto net = std::make_shared<NetPlay>(TUMBRELT_VERSION);
    game->setNetworkFriend(net);
    states->registerState("MenuState", std::make_shared<MenuState>(states, game));
    states->registerState("MainState", std::make_shared<MainState>(states, game, net));
    states->registerState("EndState", std::make_shared<EndState>(states, game));
    states->registerState("TutorialState", std::make_shared<TutorialState>(states, game));
    states->registerState("SettingsState", std::make_shared<SettingsState>(states, game));
    states->registerState("HostState", std::make_shared<HostState>(states, game, net));
    states->registerState("JoinState", std::make_shared<JoinState>(states, game, net));
}
} // namespace orv_gd
