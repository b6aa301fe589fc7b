#version 120
// Light cone of one block of the match grid: its colour and strength at each pixel, from the
// pixel's offset from the block that BloomShader.vert works out (see there for the cone's size and
// shape on the map).

uniform vec3 lightColor;     // the block's colour, 0..1
uniform float remainingTime; // 1 while the block is new (always for the Runner), 0 when gone

varying vec2 coneOffset; // length 0 at the block, 1 where the light ends

void main()
{
    // r * r, with r 0 at the block and 1 where the light ends; squared directly, as only the square
    // is used, which spares every pixel a square root.
    float r2 = min(dot(coneOffset, coneOffset), 1.0);

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
