#pragma once

#include <string>

namespace orv_gd
{
/// Writes whole files so that no reader, and no crash in the middle, ever leaves half of one: the
/// text goes to a hidden temporary file beside the target, is flushed to the disk and renamed over
/// the target in one step; the folder is flushed after it, so the new name lasts too.
class SafeFile
{
public:
    enum class Outcome
    {
        Written,
        NoFolder,  ///< the folder was missing and could not be made
        NotWritten ///< the temporary file could not be made, filled, flushed or renamed
    };

    /// Writes `text` to `path`, making its folder when missing. On failure `why` says why (the
    /// system's words) and nothing is left behind.
    static Outcome write(const std::string& path, const std::string& text, std::string& why);

    /// A write cut short (the game killed at that moment) leaves its hidden temporary file behind.
    /// Removes those in `folder` of files whose names end with `nameEnd`, once they are this old:
    /// a younger one may be another running game's save.
    static constexpr int StaleSeconds = 60;
    static void removeStale(const std::string& folder, const std::string& nameEnd);
};
} // namespace orv_gd
