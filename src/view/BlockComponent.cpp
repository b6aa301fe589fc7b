#include "view/BlockComponent.h"

#include "objects/EventBus.h"
#include "objects/GameObject.h"
#include "objects/RenderableCreateEvent.h"
#include "resources/AssetManager.h"
#include "view/GridManager.h"
#include "view/LightCone.h"
#include "view/Palette.h"
#include "view/ShapeBatch.h"

#include <SFML/Graphics/RenderWindow.hpp>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>

namespace orv_gd
{
namespace
{
// sf::Shape rebuilds its whole outline on every change of its thickness or size, and the blocks
// are updated every frame: a value is set only when it differs.
void setOutline(sf::Shape& shape, float thickness, sf::Color color)
{
    if (shape.getOutlineThickness() != thickness)
    {
        shape.setOutlineThickness(thickness);
    }
    if (shape.getOutlineColor() != color)
    {
        shape.setOutlineColor(color);
    }
}

void setFill(sf::Shape& shape, sf::Color color)
{
    if (shape.getFillColor() != color)
    {
        shape.setFillColor(color);
    }
}

/// The light shader's source by resolved path, read at most once per process: every ghost,
/// rotation and platform creates blocks, and a disk read per block would stutter.
const std::optional<std::string>& cachedShaderSource(const std::string& path)
{
    static std::map<std::string, std::optional<std::string>> cache;
    auto found = cache.find(path);
    if (found != cache.end())
    {
        return found->second;
    }
    std::optional<std::string> source;
    std::ifstream file(path, std::ios::binary);
    if (file)
    {
        std::ostringstream text;
        text << file.rdbuf();
        source = text.str();
    }
    return cache.emplace(path, std::move(source)).first->second;
}
} // namespace

const std::string BlockComponent::LightShaderFile = "shaders/BloomShader.frag";
const std::string BlockComponent::LightVertexShaderFile = "shaders/BloomShader.vert";

BlockComponent::BlockComponent(GameObject& gameObject, sf::RenderWindow& renderWindow, sf::Vector2i cell,
                               sf::Color color, bool isGhost, BlockType type)
    : IRenderComponent(gameObject, renderWindow), m_grid(GridManager::getInstance()), m_gridPosition(cell),
      m_color(color), m_shape(sf::Vector2f(0.0f, 0.0f)), m_type(type), m_isGhost(isGhost),
      m_targetPosition(static_cast<float>(cell.x), static_cast<float>(cell.y)),
      m_drawPosition(m_targetPosition)
{
    m_shape.setFillColor(m_color);
}

bool BlockComponent::init()
{
    const sf::Vector2f cellSize = m_grid.getCellSize();
    m_shape.setSize(cellSize);
    // Cells are square: both coordinates scale with the cell width.
    m_shape.setPosition(static_cast<float>(m_gridPosition.x) * cellSize.x,
                        static_cast<float>(m_gridPosition.y) * cellSize.x);
    // No outline until the block is placed or shown as a ghost: an invisible one would cost every
    // platform a second draw.
    m_shape.setOutlineColor(sf::Color::Transparent);
    m_shape.setOutlineThickness(0.0f);
    updatePlacedEdge();

    // The shader itself is compiled only when the grid first lights this block (prepareShader);
    // moving a block calls init again and must stay cheap.
    computeLightUniforms(1.0f);
    applyLightUniforms();
    m_lightReady = true;
    if (m_type == BlockType::Dynamic)
    {
        m_emitsLight = true;
    }
    return true;
}

void BlockComponent::update(float deltaTime)
{
    sf::Uint8 alpha = 255;
    if (m_isGhost)
    {
        alpha = 128;
    }
    else if (m_isPlaced)
    {
        // An expired block may still be updated once after the grid let it go: never wrap below 0.
        const float scaled = m_remainingLifetime * 255.0f / m_lifetime;
        alpha = static_cast<sf::Uint8>(std::clamp(static_cast<int>(scaled), 0, 255));
    }
    m_color.a = alpha;
    setFill(m_shape, m_color);
    updateGhostRim(deltaTime);

    const bool isRunner = m_gameObject.getId() == "Runner";
    computeLightUniforms(isRunner ? 1.0f : m_remainingLifetime / m_lifetime);
    applyLightUniforms();

    if (m_moveElapsed < m_moveDuration)
    {
        m_moveElapsed += deltaTime;
        // A long frame (a hitch) must land the block on its target, not fling it past: the
        // curve is only read up to its end.
        const float eased = easeInOutCubic(std::min(m_moveElapsed / m_moveDuration, 1.0f));
        m_drawPosition.x += (m_targetPosition.x - m_drawPosition.x) * eased;
        m_drawPosition.y += (m_targetPosition.y - m_drawPosition.y) * eased;
    }

    const float cellWidth = m_grid.getCellSize().x;
    m_shape.setPosition(m_drawPosition.x * cellWidth, m_drawPosition.y * cellWidth);
    updatePlacedEdge();
}

void BlockComponent::updatePlacedEdge()
{
    if (!m_isPlaced || m_isGhost)
    {
        setOutline(m_edge, 0.0f, m_edge.getOutlineColor());
        return;
    }
    const float cellWidth = m_grid.getCellSize().x;
    const float rim = std::max(1.0f, std::round(cellWidth / 32.0f));
    const float ring = std::max(2.0f, std::round(cellWidth / 16.0f));
    setOutline(m_shape, -rim, PaletteDark);
    const sf::Vector2f edgeSize = m_shape.getSize() - sf::Vector2f(2.0f * rim, 2.0f * rim);
    if (m_edge.getSize() != edgeSize)
    {
        m_edge.setSize(edgeSize);
    }
    setFill(m_edge, sf::Color::Transparent);
    setOutline(m_edge, -ring, sf::Color(m_color.r, m_color.g, m_color.b));
    m_edge.setPosition(m_shape.getPosition() + sf::Vector2f(rim, rim));
}

void BlockComponent::addBody(ShapeBatch& batch) const
{
    batch.add(m_shape);
    batch.add(m_edge);
}

void BlockComponent::updateGhostRim(float deltaTime)
{
    if (!m_isGhost)
    {
        if (m_ghostClock > 0.0f)
        {
            // Dropped: from now on it looks like any placed block (its edge, updatePlacedEdge).
            m_ghostClock = 0.0f;
            setOutline(m_shape, 0.0f, sf::Color::Transparent);
        }
        return;
    }
    // A light rim that breathes slowly: a fading placed block is translucent too, but its edge is
    // its own colour behind a dark rim, so the ghost reads as "not placed yet" at a glance.
    m_ghostClock += deltaTime;
    const float wave = 0.5f + 0.5f * std::sin(m_ghostClock * 6.2831853f / GhostPulseSeconds);
    // Inside the cell, so the rim never covers a neighbour.
    setOutline(m_shape, -std::max(2.0f, m_grid.getCellSize().x / 16.0f),
               sf::Color(255, 255, 255, static_cast<sf::Uint8>(110.0f + 145.0f * wave)));
}

void BlockComponent::draw()
{
    m_renderWindow.draw(*getTriangles());
}

const sf::VertexArray* BlockComponent::getTriangles()
{
    m_triangles.clear();
    if (m_isGhost || m_type == BlockType::Static || m_type == BlockType::Finish)
    {
        m_triangles.add(m_shape);
    }
    return &m_triangles.getVertices();
}

void BlockComponent::setGridPosition(sf::Vector2i cell)
{
    m_targetPosition = sf::Vector2f(static_cast<float>(cell.x), static_cast<float>(cell.y));
    m_gridPosition = cell;
    // A slide still under way keeps its clock and heads for the new target.
    if (m_moveElapsed >= m_moveDuration)
    {
        m_moveElapsed = 0.0f;
    }
}

void BlockComponent::resetLifetime()
{
    m_remainingLifetime = m_lifetime;
}

void BlockComponent::setColor(sf::Color color)
{
    m_color = color;
    m_shape.setFillColor(m_color);
}

float BlockComponent::easeInOutCubic(float t)
{
    if (t < 0.5f)
    {
        return 4.0f * t * t * t;
    }
    const float f = 2.0f * t - 2.0f;
    return 0.5f * f * f * f + 1.0f;
}

std::shared_ptr<BlockComponent> BlockComponent::addToGrid(GameObject& owner, sf::RenderWindow& window,
                                                          sf::Vector2i cell, sf::Color color, bool isGhost,
                                                          BlockType type, const std::string& layer)
{
    std::shared_ptr<BlockComponent> block =
        owner.addComponent<BlockComponent>(owner, window, cell, color, isGhost, type);
    block->m_grid.placeBlock(block);
    EventBus::getInstance().fireEvent(std::make_shared<RenderableCreateEvent>(layer, *block));
    return block;
}

sf::Color BlockComponent::colorForType(BlockType type)
{
    switch (type)
    {
    case BlockType::Static:
        return PaletteWhite;
    case BlockType::Finish:
        return PaletteGreen;
    default:
        return PaletteAmber;
    }
}

bool BlockComponent::prepareShader()
{
    if (!m_shaderAttempted)
    {
        m_shaderAttempted = true;
        m_shaderCompiled = compileLightShader(m_shader);
        if (!m_shaderCompiled)
        {
            std::cout << "Error loading shader" << std::endl;
        }
        applyLightUniforms();
    }
    return m_shaderCompiled;
}

bool BlockComponent::compileLightShader(sf::Shader& shader)
{
    if (!sf::Shader::isAvailable())
    {
        return false;
    }
    const std::optional<std::string>& vertex =
        cachedShaderSource(AssetManager::GetAssetPath(LightVertexShaderFile));
    const std::optional<std::string>& fragment =
        cachedShaderSource(AssetManager::GetAssetPath(LightShaderFile));
    return vertex && fragment && shader.loadFromMemory(*vertex, *fragment);
}

void BlockComponent::computeLightUniforms(float remainingTime)
{
    const sf::Vector2i mapSize = m_grid.getMapSize();
    if (mapSize.x > 0 && mapSize.y > 0)
    {
        // The shader works in a 64-unit map space; the light follows the sliding rectangle.
        m_light.screenPos =
            sf::Vector2f((m_drawPosition.x + 0.5f) / static_cast<float>(mapSize.x) * LightCone::ShaderSpace,
                         (m_drawPosition.y + 0.5f) / static_cast<float>(mapSize.y) * LightCone::ShaderSpace);
        m_light.coneScale = sf::Vector2f(2.5f, 2.5f * static_cast<float>(mapSize.x / mapSize.y));
    }
    else
    {
        // No map yet (a block made before the grid): nothing sensible to light.
        m_light.screenPos = sf::Vector2f(0.0f, 0.0f);
        m_light.coneScale = sf::Vector2f(2.5f, 0.0f);
    }
    m_light.color = sf::Vector3f(m_color.r / 255.0f, m_color.g / 255.0f, m_color.b / 255.0f);
    m_light.remainingTime = remainingTime;
}

bool BlockComponent::LightUniforms::operator==(const LightUniforms& other) const
{
    return screenPos == other.screenPos && coneScale == other.coneScale && color == other.color &&
           remainingTime == other.remainingTime;
}

void BlockComponent::applyLightUniforms()
{
    // Each uniform set binds the shader's program: a block whose light has not changed since the
    // last frame (every amber block through the Runner's turn) sets nothing.
    if (!m_shaderCompiled || m_applied == m_light)
    {
        return;
    }
    m_applied = m_light;
    m_shader.setUniform("ScreenPos", m_light.screenPos);
    m_shader.setUniform("coneScale", m_light.coneScale);
    m_shader.setUniform("lightColor", sf::Glsl::Vec3(m_light.color));
    m_shader.setUniform("remainingTime", m_light.remainingTime);
    m_renderStates.shader = &m_shader;
}
} // namespace orv_gd
