#pragma once

#include "objects/IEvent.h"

#include <utility>

namespace orv_gd
{
/// An event that carries one value (a shared pointer, or a reference). Still abstract.
template <typename T>
class BasicDataEvent : public IEvent
{
public:
    explicit BasicDataEvent(T data) : m_data(std::forward<T>(data)) {}

    T getData() const { return m_data; }

protected:
    T m_data;
};
} // namespace orv_gd
