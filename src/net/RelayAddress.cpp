#include "net/RelayAddress.h"

#include "net/Session.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace orv_gd::net
{
namespace
{
constexpr const char* TlsPrefix = "mqtts://";
} // namespace

bool RelayAddress::parse(const std::string& text, RelayAddress& address, std::string& error)
{
    address = RelayAddress();
    std::string rest = text;
    if (rest.rfind(TlsPrefix, 0) == 0)
    {
        address.tls = true;
        rest = rest.substr(std::strlen(TlsPrefix));
    }
    else if (rest.find("://") != std::string::npos)
    {
        error = "\"" + text + "\" is not a relay: HOST[:PORT] or mqtts://HOST[:PORT]";
        return false;
    }
    const auto bad = [](char c)
    {
        return !(std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == ':');
    };
    if (std::any_of(rest.begin(), rest.end(), bad))
    {
        error = "\"" + text + "\" is not a relay: HOST[:PORT] or mqtts://HOST[:PORT]";
        return false;
    }
    if (!Session::splitAddress(rest, address.tls ? DefaultTlsPort : DefaultPort, address.host, address.port,
                               error))
    {
        return false;
    }
    address.text = rest;
    return true;
}
} // namespace orv_gd::net
