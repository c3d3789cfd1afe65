/*
 * Vertex shader: the ribbon transform, shared by all four surfaces of the creature.
 *
 * The model is fitted so that x runs from 0.01 at the tail to 1.0 at the head, and every 0.05 of
 * x belongs to one ribbon node (node 0 is the head). A vertex is placed behind its node along the
 * node's forward axis, and across the body along its side and up axes; its frame (normal, gridX,
 * gridY) turns with the same node. Ribbon::TransformVertex does the same on the processor.
 */

const int NumberOfNodes = 20;          /* must equal the ribbon's node count */
const float NumberOfNodes_inverse = 0.05;

uniform mat3 uRibbonMatrixes[NumberOfNodes];   /* columns forward, side, up of each node */
uniform vec3 uRibbonVertexes[NumberOfNodes];   /* position of each node */

attribute vec2 aGridPoint;
attribute vec3 aNormal;
attribute vec3 aGridX;
attribute vec3 aGridY;

varying vec2 vGridPoint;
varying vec3 vNormal;
varying vec3 vGridX;
varying vec3 vGridY;
varying vec3 vGlobalCoordinates;

void main()
{
    vec4 v = gl_Vertex;

    float inverseX = 1.0 - v.x;                        /* 0 at the head, 0.99 at the tail */
    float nodeIndexf = floor(inverseX / NumberOfNodes_inverse);
    int nodeIndex = int(nodeIndexf);
    float offset = nodeIndexf * NumberOfNodes_inverse - inverseX;   /* distance behind the node */

    mat3 M = uRibbonMatrixes[nodeIndex];
    vec3 coordinate = uRibbonVertexes[nodeIndex] + M * vec3(offset, v.y, v.z);

    gl_Position = gl_ModelViewProjectionMatrix * vec4(coordinate, 1.0);

    /* Left unnormalised: the rotation keeps unit vectors unit. */
    vGridPoint = aGridPoint;
    vNormal = M * aNormal;
    vGridX = M * aGridX;
    vGridY = M * aGridY;
    vGlobalCoordinates = coordinate;
}
