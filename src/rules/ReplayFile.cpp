#include "rules/ReplayFile.h"

#include "rules/Rules.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace orv_gd::rules
{
namespace
{
constexpr int MaxTurn = 100000;
constexpr int MaxCoordinate = 1000;

/// The words of a line, split at single spaces; empty words (two spaces in a row) count, so that
/// they are refused.
std::vector<std::string> wordsOf(const std::string& line)
{
    std::vector<std::string> words;
    std::size_t from = 0;
    while (true)
    {
        const std::size_t space = line.find(' ', from);
        words.push_back(line.substr(from, space == std::string::npos ? std::string::npos : space - from));
        if (space == std::string::npos)
        {
            return words;
        }
        from = space + 1;
    }
}

/// A whole number written in decimal digits (a minus sign before them when `low` is below 0)
/// from `low` to `high`.
bool parseNumber(const std::string& word, long long low, long long high, long long& value)
{
    const std::size_t digits = word.size() - (word.rfind('-', 0) == 0 ? 1 : 0);
    if (digits == 0 || digits > 19 ||
        word.find_first_not_of("0123456789", word.size() - digits) != std::string::npos ||
        (digits < word.size() && low >= 0))
    {
        return false;
    }
    errno = 0;
    value = std::strtoll(word.c_str(), nullptr, 10);
    return errno == 0 && value >= low && value <= high;
}

bool parseInt(const std::string& word, int low, int high, int& value)
{
    long long number = 0;
    if (!parseNumber(word, low, high, number))
    {
        return false;
    }
    value = static_cast<int>(number);
    return true;
}

std::string hex(std::uint64_t value)
{
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

bool parseHex(const std::string& word, std::uint64_t& value)
{
    if (word.size() != 16 || word.find_first_not_of("0123456789abcdef") != std::string::npos)
    {
        return false;
    }
    value = std::strtoull(word.c_str(), nullptr, 16);
    return true;
}

/// A word of the header that says something (a version, a mode, a date): printable, no quotes.
bool isPlainWord(const std::string& word)
{
    if (word.empty() || word.size() > 40)
    {
        return false;
    }
    for (const char c : word)
    {
        if (c <= ' ' || c > '~' || c == '"')
        {
            return false;
        }
    }
    return true;
}

/// Quotes a line of the file for an error, cut short and with anything unprintable as "?".
std::string quoted(const std::string& line)
{
    std::string text = line.substr(0, 60);
    for (char& c : text)
    {
        if (c < ' ' || c > '~')
        {
            c = '?';
        }
    }
    return "\"" + text + (line.size() > 60 ? "...\"" : "\"");
}
} // namespace

const char* ReplayFile::resultName(Result result)
{
    switch (result)
    {
    case Result::RunnerWon:
        return "runner-won";
    case Result::BuilderWon:
        return "builder-won";
    case Result::Left:
        break;
    }
    return "left";
}

ReplayFile::Result ReplayFile::resultOf(const Match& match)
{
    if (!match.over)
    {
        return Result::Left;
    }
    return match.winner == Role::Runner ? Result::RunnerWon : Result::BuilderWon;
}

std::string ReplayFile::describe(const Match& match)
{
    const std::string turns = std::to_string(match.turnNumber);
    if (!match.over)
    {
        return "left in turn " + turns;
    }
    if (match.winner == Role::Runner)
    {
        return "runner won in " + turns + " turns";
    }
    if (match.how == WinReason::ThirdReset)
    {
        return "builder won: a third reset, in turn " + turns;
    }
    return "builder won: ran out of turns, in turn " + turns;
}

std::string ReplayFile::actionText(const Action& action)
{
    using Kind = Action::Kind;
    switch (action.kind)
    {
    case Kind::StepLeft:
        return "left";
    case Kind::StepRight:
        return "right";
    case Kind::Jump:
        return "jump";
    case Kind::EndTurn:
        return "end-turn";
    case Kind::Reset:
        return "reset";
    case Kind::MoveCursor:
        return "cursor " + std::to_string(action.cell.x) + " " + std::to_string(action.cell.y);
    case Kind::Rotate:
        return "rotate " + std::to_string(action.quarterTurns);
    case Kind::Drop:
        return "drop " + std::to_string(action.cell.x) + " " + std::to_string(action.cell.y);
    }
    return "?";
}

bool ReplayFile::parseAction(const std::string& text, Action& action)
{
    const std::vector<std::string> words = wordsOf(text);
    const std::string& name = words.front();
    if (words.size() == 1)
    {
        const std::pair<const char*, Action> plain[] = {{"left", Action::stepLeft()},
                                                        {"right", Action::stepRight()},
                                                        {"jump", Action::jump()},
                                                        {"end-turn", Action::endTurn()},
                                                        {"reset", Action::reset()}};
        for (const auto& [word, value] : plain)
        {
            if (name == word)
            {
                action = value;
                return true;
            }
        }
        return false;
    }
    Cell cell{};
    if (words.size() == 2 && name == "rotate" && parseInt(words[1], -MaxCoordinate, MaxCoordinate, cell.x))
    {
        action = Action::rotate(cell.x);
        return true;
    }
    if (words.size() == 3 && (name == "cursor" || name == "drop") &&
        parseInt(words[1], -MaxCoordinate, MaxCoordinate, cell.x) &&
        parseInt(words[2], -MaxCoordinate, MaxCoordinate, cell.y))
    {
        action = name == "cursor" ? Action::moveCursor(cell) : Action::drop(cell);
        return true;
    }
    return false;
}

std::string ReplayFile::write(const MatchLog& log, const Match& end, const Info& info)
{
    std::ostringstream out;
    const MatchConfig& config = log.getConfig();
    out << Magic << ' ' << Version << '\n'
        << "game " << (isPlainWord(info.gameVersion) ? info.gameVersion : "unknown") << '\n'
        << "generator " << log.getStart().getSeed() << ' ' << log.getStart().getDraws() << '\n'
        << "mode " << (isPlainWord(info.mode) ? info.mode : "unknown") << '\n'
        << "size " << config.width << ' ' << config.height << '\n'
        << "turn-time " << config.turnLimitMs << '\n'
        << "date " << (isPlainWord(info.date) ? info.date : "unknown") << '\n';
    for (const MatchLog::Entry& entry : log.getEntries())
    {
        out << entry.turn << ' ' << entry.ms << ' ' << actionText(entry.action) << '\n';
    }
    out << "end " << resultName(resultOf(end)) << " turn " << log.getEndTurn() << " ms " << log.getEndMs()
        << " digest " << hex(end.digest()) << '\n';
    return out.str();
}

bool ReplayFile::parse(const std::string& text, const std::string& name, Replay& replay, std::string& error)
{
    replay = Replay();
    int lineNumber = 0;
    const auto fail = [&](const std::string& why)
    {
        error = name + (lineNumber > 0 ? ":" + std::to_string(lineNumber) : std::string()) + ": " + why;
        return false;
    };
    if (text.empty())
    {
        return fail("empty, not a replay");
    }
    if (text.size() > MaxBytes)
    {
        return fail("larger than a replay can be (" + std::to_string(MaxBytes / 1024) + " KB)");
    }

    // The header's lines, in any order, each once; all before the first action.
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
    const char* const keys[KeyCount] = {"game", "generator", "mode", "size", "turn-time", "date"};
    bool seen[KeyCount] = {};
    std::uint32_t seed = 1;
    std::uint64_t draws = 0;
    MatchConfig config;
    bool ended = false;

    std::size_t from = 0;
    while (from < text.size())
    {
        ++lineNumber;
        const std::size_t newline = text.find('\n', from);
        std::string line =
            text.substr(from, newline == std::string::npos ? std::string::npos : newline - from);
        from = newline == std::string::npos ? text.size() : newline + 1;
        if (!line.empty() && line.back() == '\r')
        {
            line.pop_back();
        }
        if (line.size() > MaxLineLength)
        {
            return fail("a line longer than any of a replay (" + std::to_string(line.size()) +
                        " characters)");
        }
        if (line.find('\0') != std::string::npos)
        {
            return fail("binary data, not a replay");
        }
        const std::vector<std::string> words = wordsOf(line);
        if (lineNumber == 1)
        {
            int version = 0;
            if (words.size() != 2 || words[0] != Magic)
            {
                return fail("not a replay (the first line is not \"" + std::string(Magic) + " " +
                            std::to_string(Version) + "\")");
            }
            if (!parseInt(words[1], 1, 1'000'000, version))
            {
                return fail("not a replay: no format version on the first line");
            }
            if (version > Version)
            {
                return fail("a replay of format " + std::to_string(version) +
                            ", newer than this game reads (" + std::to_string(Version) +
                            "); a newer game plays it");
            }
            continue;
        }
        if (ended)
        {
            return fail("more after the end line: " + quoted(line));
        }
        const bool isEntry =
            !words[0].empty() && words[0].find_first_not_of("0123456789") == std::string::npos;
        if (isEntry || words[0] == "end")
        {
            for (int key = 0; key < KeyCount; ++key)
            {
                if (!seen[key])
                {
                    return fail("the header has no \"" + std::string(keys[key]) + "\" line before this one");
                }
            }
        }
        if (isEntry)
        {
            int turn = 0;
            int ms = 0;
            Action action;
            const std::size_t actionAt = line.find(' ', line.find(' ') + 1);
            if (words.size() < 3 || !parseInt(words[0], 1, MaxTurn, turn) ||
                !parseInt(words[1], 0, config.turnLimitMs - 1, ms) || actionAt == std::string::npos ||
                !parseAction(line.substr(actionAt + 1), action))
            {
                return fail("not an action of the game (\"TURN MILLISECOND ACTION\"): " + quoted(line));
            }
            replay.log.record(turn, ms, action);
            replay.entryLines.push_back(lineNumber);
            continue;
        }
        if (words[0] == "end")
        {
            int turn = 0;
            int ms = 0;
            bool known = false;
            for (const Result result : {Result::RunnerWon, Result::BuilderWon, Result::Left})
            {
                if (words.size() > 1 && words[1] == resultName(result))
                {
                    replay.result = result;
                    known = true;
                }
            }
            if (words.size() != 8 || !known || words[2] != "turn" || !parseInt(words[3], 0, MaxTurn, turn) ||
                words[4] != "ms" || !parseInt(words[5], 0, config.turnLimitMs, ms) || words[6] != "digest" ||
                !parseHex(words[7], replay.digest))
            {
                return fail("not an end line (\"end RESULT turn T ms M digest HEX\"): " + quoted(line));
            }
            replay.log.finishAt(turn, ms, replay.result != Result::Left);
            replay.endLine = lineNumber;
            ended = true;
            continue;
        }
        int key = 0;
        while (key < KeyCount && words[0] != keys[key])
        {
            ++key;
        }
        if (key == KeyCount)
        {
            return fail("not a line of a replay: " + quoted(line));
        }
        if (seen[key])
        {
            return fail("a second \"" + words[0] + "\" line");
        }
        if (!replay.entryLines.empty())
        {
            return fail("a header line after the actions: " + quoted(line));
        }
        seen[key] = true;
        long long number = 0;
        bool good = false;
        switch (key)
        {
        case Game:
            good = words.size() == 2 && isPlainWord(words[1]);
            replay.info.gameVersion = good ? words[1] : "";
            break;
        case Mode:
            good = words.size() == 2 && isPlainWord(words[1]);
            replay.info.mode = good ? words[1] : "";
            break;
        case Date:
            good = words.size() == 2 && isPlainWord(words[1]);
            replay.info.date = good ? words[1] : "";
            break;
        case Generator:
            good = words.size() == 3 && parseNumber(words[1], 0, 0xffffffffLL, number);
            seed = static_cast<std::uint32_t>(number);
            good = good && parseNumber(words[2], 0, static_cast<long long>(MatchConfig::MaxDraws), number);
            draws = static_cast<std::uint64_t>(number);
            break;
        case Size:
            good = words.size() == 3 &&
                   parseInt(words[1], MatchConfig::MinWidth, MatchConfig::MaxWidth, config.width) &&
                   parseInt(words[2], MatchConfig::MinHeight, MatchConfig::MaxHeight, config.height);
            break;
        case TurnTime:
            good = words.size() == 2 && parseInt(words[1], MatchConfig::MinTurnLimitMs,
                                                 MatchConfig::MaxTurnLimitMs, config.turnLimitMs);
            break;
        default:
            break;
        }
        if (!good)
        {
            return fail("a \"" + std::string(keys[key]) + "\" line this game cannot read: " + quoted(line));
        }
    }
    if (!ended)
    {
        return fail("the replay stops here, without its end line (cut short?)");
    }
    // The log so far was recorded against the default numbers; it starts again with the header's.
    MatchLog log(Rng::resumed(seed, draws), config);
    for (const MatchLog::Entry& entry : replay.log.getEntries())
    {
        log.record(entry.turn, entry.ms, entry.action);
    }
    log.finishAt(replay.log.getEndTurn(), replay.log.getEndMs(), replay.log.hasEnded());
    replay.log = log;
    return true;
}

std::string ReplayFile::printable(const std::string& name)
{
    std::string shown;
    for (const char c : name)
    {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '\\')
        {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            shown += escaped;
        }
        else
        {
            shown += c;
        }
    }
    return shown;
}

bool ReplayFile::load(const std::string& path, Replay& replay, std::string& error)
{
    const std::string name = printable(path);
    // Opened without waiting, then read only when it is a regular file: a named pipe or a device
    // never holds the game.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
    {
        error = name + ": cannot open it: " + std::strerror(errno);
        return false;
    }
    struct stat info = {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
    {
        ::close(fd);
        error = name + ": not a regular file";
        return false;
    }
    std::string text(MaxBytes + 1, '\0');
    std::size_t got = 0;
    ssize_t n = 0;
    while (got < text.size() && (n = ::read(fd, &text[got], text.size() - got)) != 0)
    {
        if (n < 0 && errno != EINTR)
        {
            ::close(fd);
            error = name + ": cannot read it";
            return false;
        }
        got += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    ::close(fd);
    text.resize(got);
    return parse(text, name, replay, error);
}

bool ReplayFile::check(const Replay& replay, const std::string& name, Match& end, std::string& error)
{
    std::string why;
    std::size_t entry = 0;
    end = replay.log.replay(&why, 0, &entry);
    const auto fail = [&](int line, const std::string& what)
    {
        error = name + ":" + std::to_string(line) + ": " + what;
        return false;
    };
    if (!why.empty())
    {
        if (entry == 0 || entry > replay.entryLines.size())
        {
            return fail(replay.endLine, why);
        }
        const std::string action = "\"" + actionText(replay.log.getEntries()[entry - 1].action) + "\"";
        const std::size_t at = why.find("this action");
        return fail(replay.entryLines[entry - 1],
                    at == std::string::npos ? action + " " + why : why.replace(at, 11, action));
    }
    const Result result = resultOf(end);
    if (result != replay.result)
    {
        return fail(replay.endLine, std::string("the match ends otherwise than recorded: ") +
                                        resultName(replay.result) + " recorded, " + resultName(result) +
                                        " when replayed (" + describe(end) + ")");
    }
    if (end.turnNumber != replay.log.getEndTurn() || end.turnMs != replay.log.getEndMs())
    {
        return fail(replay.endLine, "the match ends at turn " + std::to_string(end.turnNumber) + " ms " +
                                        std::to_string(end.turnMs) + ", not where recorded");
    }
    if (end.digest() != replay.digest)
    {
        return fail(replay.endLine, "the digest " + hex(replay.digest) +
                                        " does not match the replayed match's " + hex(end.digest()));
    }
    return true;
}

bool ReplayFile::loadChecked(const std::string& path, Replay& replay, std::string& error)
{
    Match end;
    return load(path, replay, error) && check(replay, printable(path), end, error);
}
} // namespace orv_gd::rules
