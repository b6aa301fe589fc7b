#include "core/DisplayProbe.h"
#include "core/ExitSignal.h"
#include "core/Game.h"
#include "resources/AssetLoadError.h"
#include "resources/AssetManager.h"
#include "resources/TraceRecorder.h"

#include <SFML/System/Err.hpp>

#include <exception>
#include <iostream>
#include <string>

int main()
{
    // Ctrl+C and kill end the game like the window's close request, with complete trace files.
    orv_gd::ExitSignal::install();

    // Without a display SFML would abort with a core dump the moment a window or GL object exists.
    // The probe holds its connection until the game is gone.
    const orv_gd::DisplayProbe display;
    if (!display.isOpen())
    {
        std::cerr << "tumbrelt: " << display.getProblem() << std::endl;
        return 1;
    }

    try
    {
        orv_gd::Game game;
        game.run();
    }
    catch (const orv_gd::AssetLoadError& error)
    {
        // The one failure the game cannot run on from: say which file, where it was looked for
        // and why it did not load, in one line (after whatever SFML's error stream still holds).
        sf::err().flush();
        std::cerr << "tumbrelt: " << error.what()
                  << " (asset folder: " << orv_gd::AssetManager::GetAssetPath("") << ")";
        if (!error.reason().empty())
        {
            std::cerr << ": " << error.reason();
        }
        std::cerr << std::endl;
        orv_gd::TraceRecorder::get().endSession();
        return 1;
    }
    catch (const std::exception& error)
    {
        std::cerr << "tumbrelt: " << error.what() << std::endl;
        orv_gd::TraceRecorder::get().endSession();
        return 1;
    }
    return 0;
}
