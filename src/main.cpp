#include "core/CommandLine.h"
#include "core/DisplayProbe.h"
#include "core/ExitSignal.h"
#include "core/Game.h"
#include "core/Installation.h"
#include "replay/ReplayFile.h"
#include "resources/AssetFolder.h"
#include "resources/AssetLoadError.h"
#include "resources/TraceRecorder.h"
#include "screens/Screens.h"

#include <SFML/System/Err.hpp>

#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>

namespace
{
/// `--check-replay FILE`: the replay checked through the rules alone, no window, no display; one
/// line and the exit status.
int checkReplay(const orv_gd::CommandLine& options)
{
    orv_gd::rules::ReplayFile::Replay replay;
    orv_gd::rules::Match end;
    std::string error;
    if (!orv_gd::rules::ReplayFile::load(options.checkReplay, replay, error) ||
        !orv_gd::rules::ReplayFile::check(replay, orv_gd::rules::ReplayFile::printable(options.checkReplay),
                                          end, error))
    {
        std::cerr << "tumbrelt: " << error << std::endl;
        return 1;
    }
    std::cout << orv_gd::rules::ReplayFile::describe(end) << std::endl;
    return 0;
}

/// Runs the game with its screens until the window closes; the exit status.
int runGame(const orv_gd::CommandLine& gameOptions, const std::string& executableFolder)
{
    try
    {
        // The composition root: core runs the screens, which come from the layer above it.
        orv_gd::Game game(orv_gd::registerScreens);
        game.setCommandLine(gameOptions);
        if (!gameOptions.replay.empty())
        {
            // --replay FILE: the match screen shows it first, or the menu says why not.
            orv_gd::rules::ReplayFile::Replay replay;
            std::string problem;
            if (orv_gd::rules::ReplayFile::loadChecked(gameOptions.replay, replay, problem))
            {
                game.setStartReplay(replay.log, "");
            }
            else
            {
                std::cerr << "tumbrelt: " << problem << std::endl;
                game.setStartReplay(std::nullopt, problem);
            }
        }
        // Every match is kept in "replays" of the working folder: the checkout, or the installed
        // game's state folder.
        game.setReplayFolder("replays");
        game.run();
    }
    catch (const orv_gd::AssetLoadError& error)
    {
        // The one failure the game cannot run on from: say which file, where it was looked for
        // and why it did not load, in one line (after whatever SFML's error stream still holds).
        sf::err().flush();
        std::cerr << "tumbrelt: "
                  << orv_gd::AssetFolder::describeFailure(error.what(), error.fileName(), error.reason(),
                                                          orv_gd::AssetFolder::workingFolder(),
                                                          executableFolder)
                  << std::endl;
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

/// The installed game's state folder becomes the working folder, or a line says why not.
void enterStateFolder()
{
    const std::string problem = orv_gd::Installation::enter(
        orv_gd::Installation::stateFolder(std::getenv("XDG_STATE_HOME"), std::getenv("HOME")));
    if (!problem.empty())
    {
        std::cerr << "tumbrelt: " << problem << "; replays and trace files go to the working folder"
                  << std::endl;
    }
}
} // namespace

int main(int argc, char** argv)
{
    const orv_gd::CommandLine options = orv_gd::CommandLine::parse(argc, argv);
    if (!options.error.empty())
    {
        std::cerr << "tumbrelt: " << options.error << std::endl;
        return 2;
    }
    if (options.help || options.version)
    {
        std::cout << (options.help ? orv_gd::CommandLine::usage()
                                   : orv_gd::CommandLine::versionLine() + "\n");
        return 0;
    }

    if (!options.checkReplay.empty())
    {
        return checkReplay(options);
    }
    orv_gd::CommandLine gameOptions = options;
    if (!options.replay.empty())
    {
        // A named pipe or a device would hold the window black: the game does not even open.
        std::error_code missing;
        const std::filesystem::file_status status = std::filesystem::status(options.replay, missing);
        if (!missing && !std::filesystem::is_regular_file(status))
        {
            std::cerr << "tumbrelt: " << orv_gd::rules::ReplayFile::printable(options.replay)
                      << ": not a regular file" << std::endl;
            return 1;
        }
        // Named from where the player started the game, which the installed game leaves below.
        std::error_code code;
        const std::filesystem::path absolute = std::filesystem::absolute(options.replay, code);
        gameOptions.replay = code ? options.replay : absolute.string();
    }

    // Ctrl+C and kill end the game like the window's close request, with complete trace files.
    orv_gd::ExitSignal::install();

    // The installed game works in the player's state folder, not in the folder it was started
    // from: its replays go there, and its trace files when asked for (--trace or TUMBRELT_TRACE=1).
    // Run from a checkout it stays where it was started and always writes the trace files.
    const std::string executableFolder = orv_gd::AssetFolder::executableFolder();
    const bool installed = orv_gd::Installation::isInstalled(executableFolder);
    const bool trace =
        orv_gd::Installation::writesTrace(installed, options.trace, std::getenv("TUMBRELT_TRACE"));
    orv_gd::TraceRecorder::get().setEnabled(trace);
    if (installed)
    {
        enterStateFolder();
    }

    // Without a display SFML would abort with a core dump the moment a window or GL object exists.
    // The probe holds its connection until the game is gone.
    const orv_gd::DisplayProbe display;
    if (!display.isOpen())
    {
        std::cerr << "tumbrelt: " << display.getProblem() << std::endl;
        return 1;
    }

    return runGame(gameOptions, executableFolder);
}
