/*
 * Fragment shader for surface 2, Eyes: the two eyes, plain glossy grey.
 */

const vec3 EyesColor = vec3(0.4, 0.4, 0.4);
const vec3 EyesSpecular = vec3(1.0, 1.0, 1.0);
const float EyesSpecularPow = 16.0;

varying vec3 vNormal;
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
    vec3 n = normalize(vNormal);
    gl_FragColor = Lighting(n, EyesColor, EyesSpecular, EyesSpecularPow);
}
