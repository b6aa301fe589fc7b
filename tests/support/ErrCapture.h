#pragma once

#include <sstream>
#include <streambuf>
#include <string>

namespace orv_gd::test
{
/// Captures everything written to sf::err() while it lives.
class ErrCapture
{
public:
    ErrCapture();
    ~ErrCapture();

    std::string text() const { return m_buffer.str(); }
    void clear() { m_buffer.str(""); }

private:
    std::ostringstream m_buffer;
    std::streambuf* m_previous;
};
} // namespace orv_gd::test
