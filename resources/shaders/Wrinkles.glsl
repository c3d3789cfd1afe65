/*
 * Fragment shader for surface 1, Wrinkles: the wrinkled underside of the body.
 *
 * Parallel grooves run across the hide, one every WrinkleWidth along gridPoint.x. Within a groove
 * the normal tilts as on a cylinder of radius WrinkleRadius, from -WrinkleWidth/2 to
 * +WrinkleWidth/2; this needs WrinkleRadius >= WrinkleWidth / 2, which the values below meet.
 */

const float WrinkleWidth = 0.7;
const float WrinkleRadius = 2.0;
const vec3 WrinkleColor = vec3(0.3, 0.3, 1.0);
const vec3 WrinkleSpecular = vec3(0.6, 0.6, 0.6);
const float WrinkleSpecularPow = 4.0;

varying vec2 vGridPoint;
varying vec3 vNormal;
varying vec3 vGridX;
varying vec3 vGridY;
varying vec3 vGlobalCoordinates;

/*
 * Light falls straight down; the viewer sits at the camera's eye. A surface facing away from the
 * light keeps half its base colour and gets no highlight.
 */
const vec3 LightDirection = vec3(0.0, -1.0, 0.0);
const vec3 UserPoint = vec3(0.0, 0.0, 4.0);

vec4 Lighting(vec3 n, vec3 baseColor, vec3 specularColor, float specularPow)
{
    float diffuse = 0.0;
    float specular = 0.0;
    float value = dot(n, LightDirection);
    if (value < 0.0) {
        diffuse = -value;
        vec3 viewDirection = normalize(vGlobalCoordinates - UserPoint);
        float r = 2.0 * value * dot(n, viewDirection) - dot(LightDirection, viewDirection);
        if (r > 0.0)
            specular = pow(r, specularPow);
    }
    vec3 diffuseColor = baseColor * (0.5 + 0.5 * diffuse);
    /* Not clamped here: the frame buffer clamps. */
    return vec4(diffuseColor + specularColor * specular, 1.0);
}

void main()
{
    float x = mod(vGridPoint.x, WrinkleWidth);                      /* in [0, WrinkleWidth) */
    vec3 local = normalize(vec3(x - WrinkleWidth / 2.0, 0.0, WrinkleRadius));
    vec3 n = normalize(vGridX * local.x + vGridY * local.y + vNormal * local.z);
    gl_FragColor = Lighting(n, WrinkleColor, WrinkleSpecular, WrinkleSpecularPow);
}
