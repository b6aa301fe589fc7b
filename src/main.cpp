#include "core/Game.h"

int main()
{
    orv_gd::Game game;
    game.run();
    return 0;
}
