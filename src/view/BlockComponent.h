#pragma once

#include "objects/IRenderComponent.h"
#include "rules/Match.h"
#include "view/BlockType.h"
#include "view/ShapeBatch.h"

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderStates.hpp>
#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Shader.hpp>
#include <SFML/System/Vector2.hpp>
#include <SFML/System/Vector3.hpp>

#include <memory>
#include <optional>
#include <string>

namespace orv_gd
{
class GridManager;

/// One cell-sized block of the grid: the Runner, a platform, a finish cell, a safe-zone cell or
/// one cell of a Builder obstacle. Slides to a new cell with easing, fades with its lifetime and
/// carries the parameters of its light cone.
class BlockComponent : public IRenderComponent, public std::enable_shared_from_this<BlockComponent>
{
public:
    BlockComponent(GameObject& gameObject, sf::RenderWindow& renderWindow, sf::Vector2i cell, sf::Color color,
                   bool isGhost = false, BlockType type = BlockType::Dynamic);

    bool init() override;
    void update(float deltaTime) override;
    /// Draws only ghosts and Static or Finish blocks; lit blocks are drawn by the grid.
    void draw() override;
    /// What draw() draws, for the layer's batch.
    const sf::VertexArray* getTriangles() override;

    void setGridPosition(sf::Vector2i cell);
    void resetLifetime();
    void setColor(sf::Color color);

    sf::Vector2i getGridPosition() const { return m_gridPosition; }
    BlockType getType() const { return m_type; }
    const sf::Color& getColor() const { return m_color; }
    bool isGhost() const { return m_isGhost; }
    void setGhost(bool isGhost) { m_isGhost = isGhost; }
    bool isPlaced() const { return m_isPlaced; }
    void setPlaced(bool isPlaced) { m_isPlaced = isPlaced; }
    float getRemainingLifetime() const { return m_remainingLifetime; }
    void setRemainingLifetime(float remaining) { m_remainingLifetime = remaining; }
    float getLifetime() const { return m_lifetime; }
    sf::Vector2f getDrawPosition() const { return m_drawPosition; }
    const sf::RectangleShape& getShape() const { return m_shape; }
    /// The bright ring of a placed block, inside its dark rim; no outline before it is placed.
    const sf::RectangleShape& getEdge() const { return m_edge; }
    /// Adds the block as the grid shows a lit block to a batch: its fading body with its rim, then
    /// its ring.
    void addBody(ShapeBatch& batch) const;
    bool emitsLight() const { return m_emitsLight; }
    bool isLightReady() const { return m_lightReady; }
    void setLightReady(bool ready) { m_lightReady = ready; }
    const sf::RenderStates& getRenderStates() const { return m_renderStates; }
    void setRenderStates(const sf::RenderStates& states) { m_renderStates = states; }

    /// Makes a block on the object, places it in the grid and announces it on the render layer,
    /// in that order. The block is returned whether or not the grid's table took it.
    static std::shared_ptr<BlockComponent> addToGrid(GameObject& owner, sf::RenderWindow& window,
                                                     sf::Vector2i cell, sf::Color color, bool isGhost,
                                                     BlockType type, const std::string& layer);

    static float easeInOutCubic(float t);
    static sf::Color colorForType(BlockType type);

    /// Compiles this block's light shader the first time its light is needed; later calls only
    /// answer. On failure prints "Error loading shader" once and the block stays unlit.
    bool prepareShader();
    /// The shader compiled and its uniforms are live; the light may be drawn with getRenderStates().
    bool hasShader() const { return m_shaderCompiled; }

    /// The four light uniforms as last computed by init or update, kept for readers without a GPU.
    sf::Vector2f getScreenPos() const { return m_light.screenPos; }
    sf::Vector2f getConeScale() const { return m_light.coneScale; }
    sf::Vector3f getLightColor() const { return m_light.color; }
    float getRemainingTimeUniform() const { return m_light.remainingTime; }

    /// Compiles the light-cone shader (its vertex and fragment stages) into the given shader from
    /// the sources read once per process; false when a file is missing or the shader fails. Prints
    /// nothing.
    static bool compileLightShader(sf::Shader& shader);
    /// The light shader's file names below the asset folder: the fragment stage, and the vertex
    /// stage that works out each pixel's offset from the block.
    static const std::string LightShaderFile;
    static const std::string LightVertexShaderFile;

    /// Seconds of one breath of a ghost's rim.
    static constexpr float GhostPulseSeconds = 1.6f;

private:
    void computeLightUniforms(float remainingTime);
    void updateGhostRim(float deltaTime);
    /// A placed block keeps its shape while it fades: a dark rim at the cell's border and a ring of
    /// its own colour at full strength inside it, which no glow around it can match.
    void updatePlacedEdge();
    void applyLightUniforms();

    GridManager& m_grid;
    sf::Vector2i m_gridPosition;
    sf::Color m_color;
    sf::RectangleShape m_shape;
    sf::RectangleShape m_edge;
    /// What draw() draws, gathered for getTriangles().
    ShapeBatch m_triangles;
    BlockType m_type;
    bool m_isGhost;
    sf::Shader m_shader;
    sf::RenderStates m_renderStates;
    bool m_lightReady = false;
    sf::Vector2f m_targetPosition;
    sf::Vector2f m_drawPosition;
    float m_moveDuration = 0.2f;
    float m_moveElapsed = 0.0f;
    /// Seconds a Builder cell lasts, as the rules count it.
    float m_lifetime = static_cast<float>(rules::Match::BlockLifeMs) / 1000.0f;
    float m_remainingLifetime = m_lifetime;
    bool m_isPlaced = false;
    bool m_emitsLight = false;
    /// Time the block has been shown as a ghost; 0 once dropped.
    float m_ghostClock = 0.0f;

    // Light uniforms and the lazy compile of m_shader.
    struct LightUniforms
    {
        sf::Vector2f screenPos;
        sf::Vector2f coneScale;
        sf::Vector3f color;
        float remainingTime = 1.0f;
        bool operator==(const LightUniforms& other) const;
    };
    LightUniforms m_light;
    /// What the shader was last given.
    std::optional<LightUniforms> m_applied;
    bool m_shaderAttempted = false;
    bool m_shaderCompiled = false;
};
} // namespace orv_gd
