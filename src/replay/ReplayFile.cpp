#include "replay/ReplayFile.h"

#include "replay/ReplayHeader.h"
#include "replay/ReplayText.h"

#include "rules/Rules.h"

#include <cerrno>
#include <cstdio>
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
    if (!match.over)
    {
        return "left in turn " + std::to_string(match.turnNumber);
    }
    const int turns = match.runnerTurns();
    if (match.winner == Role::Runner)
    {
        return "runner won in " + std::to_string(turns) + (turns == 1 ? " Runner turn" : " Runner turns");
    }
    const std::string when = ", in Runner turn " + std::to_string(turns);
    return match.how == WinReason::ThirdReset ? "builder won: a third reset" + when
                                              : "builder won: ran out of turns" + when;
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
    const std::vector<std::string> words = ReplayText::words(text);
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
    if (words.size() == 2 && name == "rotate" &&
        ReplayText::parseInt(words[1], -MaxCoordinate, MaxCoordinate, cell.x))
    {
        action = Action::rotate(cell.x);
        return true;
    }
    if (words.size() == 3 && (name == "cursor" || name == "drop") &&
        ReplayText::parseInt(words[1], -MaxCoordinate, MaxCoordinate, cell.x) &&
        ReplayText::parseInt(words[2], -MaxCoordinate, MaxCoordinate, cell.y))
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
        << "game " << (ReplayText::isPlainWord(info.gameVersion) ? info.gameVersion : "unknown") << '\n'
        << "generator " << log.getStart().getSeed() << ' ' << log.getStart().getDraws() << '\n'
        << "mode " << (ReplayText::isPlainWord(info.mode) ? info.mode : "unknown") << '\n'
        << "size " << config.width << ' ' << config.height << '\n'
        << "turn-time " << config.turnLimitMs << '\n'
        << "date " << (ReplayText::isPlainWord(info.date) ? info.date : "unknown") << '\n';
    // The hints in their places among the actions, before an action of the same moment.
    auto hint = log.getHints().begin();
    const auto writeHintsUpTo = [&](int turn, int ms)
    {
        for (; hint != log.getHints().end() && (hint->turn < turn || (hint->turn == turn && hint->ms <= ms));
             ++hint)
        {
            out << "hint " << hint->turn << ' ' << hint->ms << '\n';
        }
    };
    for (const MatchLog::Entry& entry : log.getEntries())
    {
        writeHintsUpTo(entry.turn, entry.ms);
        out << entry.turn << ' ' << entry.ms << ' ' << actionText(entry.action) << '\n';
    }
    writeHintsUpTo(MaxTurn, config.turnLimitMs);
    out << "end " << resultName(resultOf(end)) << " turn " << log.getEndTurn() << " ms " << log.getEndMs()
        << " digest " << ReplayText::hex(end.digest()) << '\n';
    return out.str();
}

namespace
{
/// A replay as far as it has been read.
struct Reading
{
    ReplayHeader header;
    bool ended = false;
};

/// Each step below reads one line into `reading` and `replay`: empty when the line is good, else
/// why it is not.
std::string readEntry(const std::string& line, const std::vector<std::string>& words, const Reading& reading,
                      ReplayFile::Replay& replay, int lineNumber)
{
    int turn = 0;
    int ms = 0;
    Action action;
    const std::size_t actionAt = line.find(' ', line.find(' ') + 1);
    if (words.size() < 3 || !ReplayText::parseInt(words[0], 1, MaxTurn, turn) ||
        !ReplayText::parseInt(words[1], 0, reading.header.getConfig().turnLimitMs - 1, ms) ||
        actionAt == std::string::npos || !ReplayFile::parseAction(line.substr(actionAt + 1), action))
    {
        return "not an action of the game (\"TURN MILLISECOND ACTION\"): " + ReplayText::quoted(line);
    }
    replay.log.record(turn, ms, action);
    replay.entryLines.push_back(lineNumber);
    return {};
}

/// A hint a player asked for: "hint TURN MILLISECOND"; it changes nothing in the match.
std::string readHint(const std::string& line, const std::vector<std::string>& words, const Reading& reading,
                     ReplayFile::Replay& replay)
{
    int turn = 0;
    int ms = 0;
    if (words.size() != 3 || !ReplayText::parseInt(words[1], 1, MaxTurn, turn) ||
        !ReplayText::parseInt(words[2], 0, reading.header.getConfig().turnLimitMs - 1, ms))
    {
        return "not a hint line (\"hint TURN MILLISECOND\"): " + ReplayText::quoted(line);
    }
    replay.log.recordHint(turn, ms);
    return {};
}

std::string readEnd(const std::string& line, const std::vector<std::string>& words, const Reading& reading,
                    ReplayFile::Replay& replay)
{
    using Result = ReplayFile::Result;
    int turn = 0;
    int ms = 0;
    bool known = false;
    for (const Result result : {Result::RunnerWon, Result::BuilderWon, Result::Left})
    {
        if (words.size() > 1 && words[1] == ReplayFile::resultName(result))
        {
            replay.result = result;
            known = true;
        }
    }
    if (words.size() != 8 || !known || words[2] != "turn" ||
        !ReplayText::parseInt(words[3], 0, MaxTurn, turn) || words[4] != "ms" ||
        !ReplayText::parseInt(words[5], 0, reading.header.getConfig().turnLimitMs, ms) ||
        words[6] != "digest" || !ReplayText::parseHex(words[7], replay.digest))
    {
        return "not an end line (\"end RESULT turn T ms M digest HEX\"): " + ReplayText::quoted(line);
    }
    replay.log.finishAt(turn, ms, replay.result != Result::Left);
    return {};
}

/// One line of the file after the first: a header line, an action, a hint or the end line.
std::string readLine(const std::string& line, Reading& reading, ReplayFile::Replay& replay, int lineNumber)
{
    if (reading.ended)
    {
        return "more after the end line: " + ReplayText::quoted(line);
    }
    const std::vector<std::string> words = ReplayText::words(line);
    const bool isEntry = !words[0].empty() && words[0].find_first_not_of("0123456789") == std::string::npos;
    if (!isEntry && words[0] != "end" && words[0] != "hint")
    {
        return reading.header.readLine(line, words, replay.info);
    }
    if (std::string why = reading.header.check(); !why.empty())
    {
        return why;
    }
    if (isEntry)
    {
        return readEntry(line, words, reading, replay, lineNumber);
    }
    if (words[0] == "hint")
    {
        return readHint(line, words, reading, replay);
    }
    replay.endLine = lineNumber;
    reading.ended = true;
    return readEnd(line, words, reading, replay);
}

/// The log as read, recorded against the default numbers, started again with the header's.
MatchLog withHeader(const MatchLog& read, const ReplayHeader& header)
{
    MatchLog log(Rng::resumed(header.getSeed(), header.getDraws()), header.getConfig());
    for (const MatchLog::Entry& entry : read.getEntries())
    {
        log.record(entry.turn, entry.ms, entry.action);
    }
    for (const MatchLog::Stamp& hint : read.getHints())
    {
        log.recordHint(hint.turn, hint.ms);
    }
    log.finishAt(read.getEndTurn(), read.getEndMs(), read.hasEnded());
    return log;
}
} // namespace

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
    Reading reading;
    for (std::size_t from = 0; from < text.size();)
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
        const std::string why = lineNumber == 1 ? ReplayHeader::readFirstLine(ReplayText::words(line))
                                                : readLine(line, reading, replay, lineNumber);
        if (!why.empty())
        {
            return fail(why);
        }
    }
    if (!reading.ended)
    {
        return fail("the replay stops here, without its end line (cut short?)");
    }
    replay.log = withHeader(replay.log, reading.header);
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
        return fail(replay.endLine, "the digest " + ReplayText::hex(replay.digest) +
                                        " does not match the replayed match's " +
                                        ReplayText::hex(end.digest()));
    }
    return true;
}

bool ReplayFile::loadChecked(const std::string& path, Replay& replay, std::string& error)
{
    Match end;
    return load(path, replay, error) && check(replay, printable(path), end, error);
}
} // namespace orv_gd::rules
