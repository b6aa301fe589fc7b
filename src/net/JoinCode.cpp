#include "net/JoinCode.h"

#include <sodium.h>

#include <cctype>
#include <cstring>

namespace orv_gd::net
{
std::string JoinCode::generate()
{
    if (sodium_init() < 0)
    {
        return {};
    }
    std::string code;
    for (std::size_t i = 0; i < Length; ++i)
    {
        if (i == Length / 2)
        {
            code.push_back('-');
        }
        code.push_back(Alphabet[randombytes_uniform(static_cast<std::uint32_t>(std::strlen(Alphabet)))]);
    }
    return code;
}

std::string JoinCode::parse(const std::string& text)
{
    if (text.size() != Length + 1 || text[Length / 2] != '-')
    {
        return {};
    }
    std::string code;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
        if (i != Length / 2 && (c == '\0' || !std::strchr(Alphabet, c)))
        {
            return {};
        }
        code.push_back(c);
    }
    return code;
}
} // namespace orv_gd::net
