#version 120
// The light shader as it was while each pixel worked out its own offset from the block: the
// reference picture for the light drawn with the offset worked out per corner in the vertex stage.
// Light cone of one block of the match grid.
//
// The grid draws a rectangle covering the whole map (or the part of it this cone can reach, with
// the same texture coordinates) through this shader. Its texture coordinates run 0..1 over the
// map, so gl_TexCoord[0] is the position on the map, independent of the camera and the window.
//
// Positions are compared in a 64 x 64 space laid over the map. coneScale is the number of
// 64-space units in one cone unit along each axis: (2.5, 2.5 * (columns / rows)), with the
// whole-number aspect of the map. On the 50 x 15 map one cone unit is 50 * 2.5 / 64 = 1.953 cells
// across; down it would be 15 * 7.5 / 64 = 1.758 cells, because 50 / 15 was rounded down to 3.
// aspectFix restores the true aspect, so the glow is round in cells.
//
// The light is zero from coneRadius cone units on (3.5 cells on the 50 x 15 map). The grid relies
// on that when it clips a cone to the cells around its block: keep LightCone::ReachCells in step.

uniform vec2 ScreenPos;      // block centre in the 64-space
uniform vec2 coneScale;      // 64-space units per cone unit, per axis
uniform vec3 lightColor;     // the block's colour, 0..1
uniform float remainingTime; // 1 while the block is new (always for the Runner), 0 when gone

const float aspectFix = 0.9;   // (3 * 15) / 50: whole-number aspect over true aspect
const float coneRadius = 1.792; // 3.5 cells / 1.953 cells per cone unit

void main()
{
    // A map taller than wide has a zero scale down; keep the division finite.
    vec2 offset = (gl_TexCoord[0].xy * 64.0 - ScreenPos) / max(coneScale, vec2(0.001));
    offset.y *= aspectFix;
    // r * r, with r 0 at the block and 1 where the light ends; squared directly, as only the square
    // is used, which spares every pixel a square root.
    float r2 = min(dot(offset, offset) * (1.0 / (coneRadius * coneRadius)), 1.0);

    // The envelope falls to zero with a flat tangent at r = 1, so the cone has no visible rim.
    float envelope = (1.0 - r2) * (1.0 - r2);
    // A bright core that falls off like a lamp's, and a wide soft halo.
    float core = 1.0 / (1.0 + 60.0 * r2);
    float halo = 0.55 * envelope;
    float intensity = clamp((core * envelope + halo) * remainingTime, 0.0, 1.0);

    // The core burns whiter than the halo, as a strong light does.
    vec3 colour = mix(lightColor, vec3(1.0), 0.55 * core * envelope);
    gl_FragColor = vec4(colour, intensity);
}
