/*
 * Fragment shader for surface 0, Scale: the scaly hide of the body.
 *
 * Rows of raised oval scales, ScaleWidth by ScaleHeight in gridPoint units, every odd column
 * shifted by half a row. Each scale is an elliptic bump of height ScaleThickness: red at its
 * crown, blending into the blue ground towards its rim.
 */

const float ScaleWidth = 0.6;
const float ScaleHeight = 0.6;
const float ScaleThickness = 0.2;
const vec3 ScaleBackgroundColor = vec3(0.3, 0.3, 1.0);
const vec3 ScaleColor = vec3(1.0, 0.0, 0.0);
const vec3 ScaleSpecular = vec3(0.6, 0.6, 0.6);
const float ScaleSpecularPow = 8.0;

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
    int i = int(vGridPoint.x / ScaleWidth);                          /* the scale's column */
    vec2 localPoint;
    localPoint.x = vGridPoint.x - (float(i) + 0.5) * ScaleWidth;
    float y = vGridPoint.y;
    if (i / 2 != (i + 1) / 2)                                        /* odd column */
        y = y + 0.5;
    localPoint.y = mod(y, ScaleHeight) - 0.5 * ScaleHeight;

    float px = abs(localPoint.x) / ScaleWidth;
    float py = abs(localPoint.y) / ScaleHeight;
    float a = 1.0 - 4.0 * (px * px + py * py);                       /* > 0 inside the ellipse */

    bool inScale = a > 0.0;
    vec3 local = vec3(0.0, 0.0, 1.0);
    if (inScale) {
        float b = localPoint.x / (ScaleWidth * ScaleWidth);
        float c = localPoint.y / (ScaleHeight * ScaleHeight);
        float d = sqrt(a + 16.0 * ScaleThickness * ScaleThickness * (b * b + c * c));
        float e = 4.0 * ScaleThickness / d;
        local = vec3(e * b, e * c, sqrt(a) / d);                     /* unit normal of the bump */
    }

    vec3 ownColor = ScaleBackgroundColor;
    if (inScale)
        ownColor = mix(ScaleBackgroundColor, ScaleColor, local.z);

    /* Not normalised: local is a unit vector in an orthonormal frame. */
    vec3 n = vGridX * local.x + vGridY * local.y + vNormal * local.z;
    gl_FragColor = Lighting(n, ownColor, ScaleSpecular, ScaleSpecularPow);
}
