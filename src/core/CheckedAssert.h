#pragma once

#include <SFML/System/Err.hpp>

#include <ostream>

/// The game's checked assertion and its non-fatal sibling. Both write the source file as the
/// build records it, " Line: ", the line, a space and the message to sf::err(); the assertion
/// then stops the program. They stay active in the shipped build.
namespace orv_gd
{
namespace detail
{
/// Writes "<file> Line: <line> " to sf::err() and returns the stream for the message.
std::ostream& errorLocation(const char* file, int line);

/// Reports a failed condition the way assert() does, then aborts.
[[noreturn]] void assertionFailed(const char* condition, const char* file, int line, const char* function);

template <typename... Args>
void logError(const char* file, int line, const Args&... parts)
{
    std::ostream& out = errorLocation(file, line);
    (out << ... << parts);
    out << std::endl;
}
} // namespace detail
} // namespace orv_gd

/// Writes one located line to sf::err(): ORV_ERROR("Could not find gameobject with m_id ", id);
#define ORV_ERROR(...) ::orv_gd::detail::logError(__FILE__, __LINE__, __VA_ARGS__)

/// When the condition fails: one located line to sf::err(), then the assertion stops the program.
/// ORV_ASSERT(state != nullptr, "State could not be found");
#define ORV_ASSERT(condition, ...)                                                                           \
    do                                                                                                       \
    {                                                                                                        \
        if (!(condition))                                                                                    \
        {                                                                                                    \
            ::orv_gd::detail::logError(__FILE__, __LINE__, __VA_ARGS__);                                     \
            ::orv_gd::detail::assertionFailed(#condition, __FILE__, __LINE__, __func__);                     \
        }                                                                                                    \
    } while (false)
