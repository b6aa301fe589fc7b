#version 120
// Light cone of one block of the match grid: where each corner of the drawn rectangle lies from
// the block, in cone units. The position is an affine function of the texture coordinate, so the
// rasteriser's interpolation gives every pixel its own offset, and the per-pixel work in
// BloomShader.frag starts from there (under software rendering that work is most of a light's cost).
//
// The grid draws a rectangle covering the whole map (or the part of it this cone can reach, with
// the same texture coordinates) through these shaders. Its texture coordinates run 0..1 over the
// map, so they are the position on the map, independent of the camera and the window.
//
// Positions are compared in a 64 x 64 space laid over the map. coneScale is the number of
// 64-space units in one cone unit along each axis: (2.5, 2.5 * (columns / rows)), with the
// whole-number aspect of the map. On the 50 x 15 map one cone unit is 50 * 2.5 / 64 = 1.953 cells
// across; down it would be 15 * 7.5 / 64 = 1.758 cells, because 50 / 15 was rounded down to 3.
// aspectFix restores the true aspect, so the glow is round in cells.
//
// The light is zero from coneRadius cone units on (3.5 cells on the 50 x 15 map). The grid relies
// on that when it clips a cone to the cells around its block: keep LightCone::ConeRadius in step.

uniform vec2 ScreenPos; // block centre in the 64-space
uniform vec2 coneScale; // 64-space units per cone unit, per axis

// The offset from the block over coneRadius: its length is 0 at the block and 1 where the light ends.
varying vec2 coneOffset;

const float aspectFix = 0.9;   // (3 * 15) / 50: whole-number aspect over true aspect
const float coneRadius = 1.792; // 3.5 cells / 1.953 cells per cone unit

void main()
{
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
    vec2 mapPosition = (gl_TextureMatrix[0] * gl_MultiTexCoord0).xy;
    // A map taller than wide has a zero scale down; keep the division finite.
    vec2 offset = (mapPosition * 64.0 - ScreenPos) / max(coneScale, vec2(0.001));
    offset.y *= aspectFix;
    coneOffset = offset * (1.0 / coneRadius);
}
