#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orv_gd::rules
{
/// The words and numbers of a replay's lines, written and read back one way only: whole words at
/// single spaces, decimal numbers in bounds, a digest in sixteen hex digits, and a line quoted for
/// an error.
class ReplayText
{
public:
    /// The words of a line, split at single spaces; empty words (two spaces in a row) count, so
    /// that they are refused.
    static std::vector<std::string> words(const std::string& line);
    /// A whole number written in decimal digits (a minus sign before them when `low` is below 0)
    /// from `low` to `high`.
    static bool parseNumber(const std::string& word, long long low, long long high, long long& value);
    static bool parseInt(const std::string& word, int low, int high, int& value);
    static std::string hex(std::uint64_t value);
    static bool parseHex(const std::string& word, std::uint64_t& value);
    /// A word of the header that says something (a version, a mode, a date): printable, no quotes.
    static bool isPlainWord(const std::string& word);
    /// Quotes a line of the file for an error, cut short and with anything unprintable as "?".
    static std::string quoted(const std::string& line);
};
} // namespace orv_gd::rules
