#pragma once

#include <SFML/System/Err.hpp>

#include <sstream>
#include <streambuf>
#include <string>

namespace orv_gd::test
{
/// Captures everything written to sf::err() while it lives.
class ErrCapture
{
public:
    ErrCapture() : m_previous(sf::err().rdbuf(m_buffer.rdbuf())) {}
    ~ErrCapture() { sf::err().rdbuf(m_previous); }

    ErrCapture(const ErrCapture&) = delete;
    ErrCapture& operator=(const ErrCapture&) = delete;

    std::string text() const { return m_buffer.str(); }
    void clear() { m_buffer.str(""); }

private:
    std::ostringstream m_buffer;
    std::streambuf* m_previous;
};
} // namespace orv_gd::test
