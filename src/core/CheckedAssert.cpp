#include "core/CheckedAssert.h"

#include <cstdio>
#include <cstdlib>

namespace orv_gd
{
namespace detail
{
std::ostream& errorLocation(const char* file, int line)
{
    std::ostream& out = sf::err();
    out << file << " Line: " << line << ' ';
    return out;
}

void assertionFailed(const char* condition, const char* file, int line, const char* function)
{
    sf::err().flush();
    std::fprintf(stderr, "%s:%d: %s: Assertion `%s' failed.\n", file, line, function, condition);
    std::fflush(stderr);
    std::abort();
}
} // namespace detail
} // namespace orv_gd
