#pragma once

#include "core/MatchMode.h"
#include "rules/Match.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace orv_gd
{
class InputManager;
struct CommandLine;

/// How the game's window covers the screen.
enum class WindowMode
{
    /// Without a frame, at the desktop's size (the default).
    Borderless,
    /// A framed window of 1280x720 the player can resize.
    Windowed,
    Fullscreen
};

/// The board's colours: the game's own, one safe for the common kinds of colour blindness, or one
/// of strong lightness steps. Every palette also marks each kind of cell by a pattern of its own.
enum class PaletteChoice
{
    Standard,
    ColourBlind,
    HighContrast
};

constexpr std::array<PaletteChoice, 3> PaletteChoices{PaletteChoice::Standard, PaletteChoice::ColourBlind,
                                                      PaletteChoice::HighContrast};

/// The palette's name as the settings file writes it: "standard", "colour-blind", "high-contrast".
inline const char* paletteName(PaletteChoice palette)
{
    switch (palette)
    {
    case PaletteChoice::ColourBlind:
        return "colour-blind";
    case PaletteChoice::HighContrast:
        return "high-contrast";
    case PaletteChoice::Standard:
        break;
    }
    return "standard";
}

/// One action of a role that the player may put on a key of their own.
struct BindableAction
{
    const char* name;
    int player;
    int defaultKey;
    /// What the settings screen calls it.
    const char* label;
};

/// What the player chose on the settings screen, kept between runs in a small text file of
/// "name = value" lines. Without a file every value is what the game always had.
struct Settings
{
    static constexpr int WindowedWidth = 1280;
    static constexpr int WindowedHeight = 720;
    static constexpr int VolumeStep = 10;
    static constexpr std::array<int, 3> TurnChoices{10, 15, 20};
    /// Longer lines and bigger files are not settings files.
    static constexpr std::size_t MaxLineLength = 200;
    static constexpr std::size_t MaxFileSize = 64 * 1024;
    static constexpr std::size_t ActionCount = 12;

    WindowMode window = WindowMode::Borderless;
    /// Percent, 0 to 100 in steps of VolumeStep.
    int volume = 100;
    bool mute = false;
    /// Seconds a turn lasts, for both roles: one of TurnChoices.
    int turnSeconds = 10;
    /// The level of each computer role, as last chosen on the menu.
    ComputerLevels computer;
    /// The relay network play meets through by join code, "HOST[:PORT]" or "mqtts://HOST[:PORT]";
    /// empty: none. Its certificate authority (empty: the system's) and its login, when it asks.
    std::string relay;
    std::string relayCaFile;
    std::string relayUsername;
    std::string relayPassword;
    /// The board's colours.
    PaletteChoice palette = PaletteChoice::Standard;
    /// The key of each action, in the order of actions().
    std::array<int, ActionCount> keys = defaultKeys();

    bool operator==(const Settings& other) const;
    bool operator!=(const Settings& other) const { return !(*this == other); }

    /// The actions of both roles that take a key of the player's choice.
    static const std::array<BindableAction, ActionCount>& actions();
    static std::array<int, ActionCount> defaultKeys();
    /// The key's name as the file writes it ("A", "Num1", "PageUp"); empty for no key.
    static std::string keyName(int key);
    /// The key a name stands for, whatever its case; sf::Keyboard::Unknown for no key.
    static int keyFromName(const std::string& name);
    /// Whether the key is kept for the whole game (Escape, P for the pause, F1 for the overlay);
    /// says what for in `use`.
    static bool isReservedKey(int key, std::string* use = nullptr);

    /// Puts the action on the key. A key that another action has, or that the game keeps for
    /// itself, is refused: returns the line that says why and changes nothing; empty when bound.
    std::string rebind(std::size_t action, int key);
    void resetKeys() { keys = defaultKeys(); }
    /// Binds every action to its key for its player.
    void applyKeys(InputManager& input) const;
    /// The volume the sounds play at: 0 when muted.
    float effectiveVolume() const { return mute ? 0.0f : static_cast<float>(volume); }
    /// The numbers of a match played with these settings: the turn time, on the default field. A
    /// turn time the rules' one check refuses plays the default.
    rules::MatchConfig matchConfig() const;
    /// These settings with the command line's options for one run over them.
    Settings withCommandLine(const CommandLine& line) const;

    static std::string windowName(WindowMode mode);

    /// Reads the file's text; each problem adds one line "<fileName>:<line>: ..." to `problems`
    /// and the setting it concerns keeps its default.
    static Settings parse(const std::string& text, const std::string& fileName,
                          std::vector<std::string>& problems);
    /// The file's text.
    std::string toText() const;

    /// The settings in the file: the defaults when it is missing; when it cannot be read or holds
    /// something bad, the defaults for what is bad and a line per problem in `problems`.
    static Settings load(const std::string& path, std::vector<std::string>& problems);
    /// Writes the file through a temporary file in the same folder and a rename, creating the
    /// folder when it is missing. Empty on success, else one line saying what went wrong.
    std::string save(const std::string& path) const;
    /// Where the file is: "$XDG_CONFIG_HOME/tumbrelt/settings.ini" ("$HOME/.config/tumbrelt/..."
    /// when XDG_CONFIG_HOME is unset, empty or relative) for the installed game, "settings.ini" in
    /// the working folder for a checkout. Empty when installed without an absolute folder.
    static std::string filePath(bool installed, const char* xdgConfigHome, const char* home);
};
} // namespace orv_gd
