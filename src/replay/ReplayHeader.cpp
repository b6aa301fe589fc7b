#include "replay/ReplayHeader.h"

#include "replay/ReplayText.h"

#include <climits>

namespace orv_gd::rules
{
const char* const ReplayHeader::Keys[KeyCount] = {"game", "generator", "mode", "size", "turn-time", "date"};

std::string ReplayHeader::readFirstLine(const std::vector<std::string>& words)
{
    int version = 0;
    if (words.size() != 2 || words[0] != ReplayFile::Magic)
    {
        return "not a replay (the first line is not \"" + std::string(ReplayFile::Magic) + " " +
               std::to_string(ReplayFile::Version) + "\")";
    }
    if (!ReplayText::parseInt(words[1], 1, 1000000, version))
    {
        return "not a replay: no format version on the first line";
    }
    if (version > ReplayFile::Version)
    {
        return "a replay of format " + std::to_string(version) + ", newer than this game reads (" +
               std::to_string(ReplayFile::Version) + "); a newer game plays it";
    }
    return {};
}

std::string ReplayHeader::readLine(const std::string& line, const std::vector<std::string>& words,
                                   ReplayFile::Info& info)
{
    int key = 0;
    while (key < KeyCount && words[0] != Keys[key])
    {
        ++key;
    }
    if (key == KeyCount)
    {
        return "not a line of a replay: " + ReplayText::quoted(line);
    }
    if (m_seen[key])
    {
        return "a second \"" + words[0] + "\" line";
    }
    if (m_checked)
    {
        return "a header line after the actions: " + ReplayText::quoted(line);
    }
    m_seen[key] = true;
    if (!readValue(key, words, info))
    {
        return "a \"" + std::string(Keys[key]) + "\" line this game cannot read: " + ReplayText::quoted(line);
    }
    return {};
}

bool ReplayHeader::readValue(int key, const std::vector<std::string>& words, ReplayFile::Info& info)
{
    constexpr int Wide = 1000000000;
    long long number = 0;
    switch (key)
    {
    case Game:
    case Mode:
    case Date:
    {
        const bool good = words.size() == 2 && ReplayText::isPlainWord(words[1]);
        std::string& into = key == Game ? info.gameVersion : key == Mode ? info.mode : info.date;
        into = good ? words[1] : "";
        return good;
    }
    case Generator:
        if (words.size() != 3 || !ReplayText::parseNumber(words[1], 0, 0xffffffffLL, number))
        {
            return false;
        }
        m_seed = static_cast<std::uint32_t>(number);
        if (!ReplayText::parseNumber(words[2], 0, LLONG_MAX, number))
        {
            return false;
        }
        m_draws = static_cast<std::uint64_t>(number);
        return true;
    case Size:
        return words.size() == 3 && ReplayText::parseInt(words[1], 0, Wide, m_config.width) &&
               ReplayText::parseInt(words[2], 0, Wide, m_config.height);
    case TurnTime:
        return words.size() == 2 && ReplayText::parseInt(words[1], 0, Wide, m_config.turnLimitMs);
    default:
        return false;
    }
}

std::string ReplayHeader::check()
{
    if (m_checked)
    {
        return {};
    }
    for (int key = 0; key < KeyCount; ++key)
    {
        if (!m_seen[key])
        {
            return "the header has no \"" + std::string(Keys[key]) + "\" line before this one";
        }
    }
    const std::string problem = MatchConfig::problem(m_config, m_draws);
    if (!problem.empty())
    {
        return "the header is no match this game plays: " + problem;
    }
    m_checked = true;
    return {};
}
} // namespace orv_gd::rules
