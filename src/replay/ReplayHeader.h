#pragma once

#include "replay/ReplayFile.h"
#include "rules/Match.h"

#include <cstdint>
#include <string>
#include <vector>

namespace orv_gd::rules
{
/// A replay's header as it is read: the first line (the format and its version), then the header's
/// lines ("game", "generator", "mode", "size", "turn-time", "date") in any order, each once, all
/// before the first action, where the header is checked whole. Each read returns empty when the
/// line is good, else why it is not.
class ReplayHeader
{
public:
    static std::string readFirstLine(const std::vector<std::string>& words);
    /// A line whose first word is no action, hint or end: a header line, its value read into the
    /// header's numbers or `info`.
    std::string readLine(const std::string& line, const std::vector<std::string>& words,
                         ReplayFile::Info& info);
    /// Before the first action or the end line: the header is whole, and its numbers are a match the
    /// game plays, by the one check every match's numbers pass. Checked once.
    std::string check();

    std::uint32_t getSeed() const { return m_seed; }
    std::uint64_t getDraws() const { return m_draws; }
    const MatchConfig& getConfig() const { return m_config; }

private:
    enum Key
    {
        Game,
        Generator,
        Mode,
        Size,
        TurnTime,
        Date,
        KeyCount
    };
    static const char* const Keys[KeyCount];

    /// The words of a header line after its key, read into the header; false when they do not say
    /// what the key needs. The numbers are checked together, as the match they make, by check().
    bool readValue(int key, const std::vector<std::string>& words, ReplayFile::Info& info);

    bool m_seen[KeyCount] = {};
    bool m_checked = false;
    std::uint32_t m_seed = 1;
    std::uint64_t m_draws = 0;
    MatchConfig m_config;
};
} // namespace orv_gd::rules
