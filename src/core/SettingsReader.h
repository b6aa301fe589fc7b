#pragma once

#include "core/Settings.h"

#include <map>
#include <string>
#include <vector>

namespace orv_gd
{
/// Reads the text of a settings file, one "name = value" line at a time, each setting by its entry
/// in one table. Each problem adds one line "<fileName>:<line>: ..." and leaves the setting it
/// concerns at its default; the rest of the file still counts.
class SettingsReader
{
public:
    SettingsReader(const std::string& fileName, std::vector<std::string>& problems);

    Settings read(const std::string& text);

private:
    /// What is wrong with the line, as its problem says it after "<fileName>:<line>: "; empty when
    /// nothing is.
    std::string readLine(std::string line, int number);
    std::string readSetting(const std::string& name, const std::string& value, int number);
    /// Two actions on one key would both fire: the whole set of keys goes back to its defaults.
    void checkKeys();

    const std::string& m_fileName;
    std::vector<std::string>& m_problems;
    Settings m_settings;
    /// The line each setting was first given on; a setting given twice is bad on every line.
    std::map<std::string, int> m_firstLine;
};
} // namespace orv_gd
