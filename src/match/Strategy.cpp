#include "match/Strategy.h"

namespace orv_gd
{
Strategy::Strategy(MainState& mainState) : m_mainState(mainState) {}
} // namespace orv_gd
