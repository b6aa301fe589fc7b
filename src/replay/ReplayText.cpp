#include "replay/ReplayText.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace orv_gd::rules
{
std::vector<std::string> ReplayText::words(const std::string& line)
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

bool ReplayText::parseNumber(const std::string& word, long long low, long long high, long long& value)
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

bool ReplayText::parseInt(const std::string& word, int low, int high, int& value)
{
    long long number = 0;
    if (!parseNumber(word, low, high, number))
    {
        return false;
    }
    value = static_cast<int>(number);
    return true;
}

std::string ReplayText::hex(std::uint64_t value)
{
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

bool ReplayText::parseHex(const std::string& word, std::uint64_t& value)
{
    if (word.size() != 16 || word.find_first_not_of("0123456789abcdef") != std::string::npos)
    {
        return false;
    }
    value = std::strtoull(word.c_str(), nullptr, 16);
    return true;
}

bool ReplayText::isPlainWord(const std::string& word)
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

std::string ReplayText::quoted(const std::string& line)
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
} // namespace orv_gd::rules
