#include "support/ErrCapture.h"

#include <SFML/System/Err.hpp>

namespace orv_gd::test
{
ErrCapture::ErrCapture() : m_previous(sf::err().rdbuf(m_buffer.rdbuf())) {}

ErrCapture::~ErrCapture()
{
    sf::err().rdbuf(m_previous);
}
} // namespace orv_gd::test
