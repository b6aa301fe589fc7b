#include "objects/ITransformAnimation.h"

#include <SFML/Graphics/Transformable.hpp>

namespace orv_gd
{
void ITransformAnimation::pullTowards(sf::Transformable& object, sf::Vector2f target, float speed,
                                      float deltaTime)
{
    const sf::Vector2f toTarget = target - object.getPosition();
    object.move(toTarget * speed * deltaTime);
}
} // namespace orv_gd
