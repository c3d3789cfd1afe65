/*
 * Fragment shader for surface 3, Horns: the two horns, diffuse yellow with no highlight.
 * Lit from straight above; a horn facing away from the light keeps 0.3 of its colour.
 */

const vec3 LightDirection = vec3(0.0, -1.0, 0.0);
const vec3 Color = vec3(1.0, 1.0, 0.4);

varying vec3 vNormal;

void main()
{
    vec3 n = normalize(vNormal);
    float value = dot(n, LightDirection);
    float diffuse = 0.0;
    if (value < 0.0)
        diffuse = -value;
    gl_FragColor = vec4(Color * (0.3 + 0.7 * diffuse), 1.0);
}
