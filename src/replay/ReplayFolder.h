#pragma once

#include "core/MatchMode.h"
#include "replay/ReplayFile.h"
#include "rules/Match.h"
#include "rules/MatchLog.h"

#include <cstddef>
#include <ctime>
#include <string>
#include <vector>

namespace orv_gd
{
/// The folder the game keeps its replays in ("replays" in the working folder, which for the
/// installed game is its state folder): one file per match, named after when it was played, the
/// mode and how it ended, so that the names sort by time:
/// "2026-12-07_14-03-22_two-players_runner-won.tumbrelt-replay" (local time). Only the newest
/// `Kept` of those names stay; files of other names are the player's and are left alone.
class ReplayFolder
{
public:
    static constexpr std::size_t Kept = 50;
    static constexpr const char* Extension = ".tumbrelt-replay";

    explicit ReplayFolder(std::string folder) : m_folder(std::move(folder)) {}

    const std::string& getFolder() const { return m_folder; }

    /// "two-players", "computer-builder", "computer-runner", "computer-both", "network-host",
    /// "network-join".
    static const char* modeName(MatchMode mode);
    /// The file name of a match played at `when` (local time).
    static std::string fileName(std::time_t when, MatchMode mode, rules::ReplayFile::Result result);

    /// Keeps a finished log: writes it to a temporary name in the folder (made when missing), renames
    /// it into place and lets the oldest go. False with one line in `error` when it could not be
    /// written; `path` receives where it went.
    bool save(const rules::MatchLog& log, const rules::Match& end, MatchMode mode, std::time_t when,
              std::string& error, std::string* path = nullptr) const;
    /// Writes `text` as `name` in the folder through a temporary file; as save.
    bool write(const std::string& name, const std::string& text, std::string& error) const;
    /// The replays of this game's names, oldest first.
    std::vector<std::string> list() const;
    /// The path of the newest, or empty when there is none.
    std::string newest() const;
    /// Removes all but the newest `keep` of list().
    void prune(std::size_t keep = Kept) const;

private:
    std::string m_folder;
};
} // namespace orv_gd
