#include "objects/ITransformAnimation.h"

#include <SFML/Graphics/Transformable.hpp>

#include <algorithm>

namespace orv_gd
{
void ITransformAnimation::pullTowards(sf::Transformable& object, sf::Vector2f target, float speed,
                                      float deltaTime)
{
    // A long frame (a hitch) lands the object on its target instead of throwing it past.
    const float fraction = std::min(speed * deltaTime, 1.0f);
    object.move((target - object.getPosition()) * fraction);
}
} // namespace orv_gd
