#include "box_geometry.h"

#include <cstring>

// Faces lie here in the order Bottom, Top, Front, Right, Back, Left. With the camera's up
// direction at -Y every image is upright and unmirrored seen from outside.
const BoxVertex g_boxVertexTemplate[kBoxVertexCount] = {
    // Bottom (+Y)
    { 0.5f,  0.5f,  0.5f,  0.0f,  1.0f,  0.0f, 0.0f, 0.0f},
    {-0.5f,  0.5f,  0.5f,  0.0f,  1.0f,  0.0f, 1.0f, 0.0f},
    {-0.5f,  0.5f, -0.5f,  0.0f,  1.0f,  0.0f, 1.0f, 1.0f},
    { 0.5f,  0.5f, -0.5f,  0.0f,  1.0f,  0.0f, 0.0f, 1.0f},
    // Top (-Y)
    { 0.5f, -0.5f,  0.5f,  0.0f, -1.0f,  0.0f, 1.0f, 0.0f},
    { 0.5f, -0.5f, -0.5f,  0.0f, -1.0f,  0.0f, 1.0f, 1.0f},
    {-0.5f, -0.5f, -0.5f,  0.0f, -1.0f,  0.0f, 0.0f, 1.0f},
    {-0.5f, -0.5f,  0.5f,  0.0f, -1.0f,  0.0f, 0.0f, 0.0f},
    // Front (-Z)
    { 0.5f, -0.5f, -0.5f,  0.0f,  0.0f, -1.0f, 1.0f, 0.0f},
    { 0.5f,  0.5f, -0.5f,  0.0f,  0.0f, -1.0f, 1.0f, 1.0f},
    {-0.5f,  0.5f, -0.5f,  0.0f,  0.0f, -1.0f, 0.0f, 1.0f},
    {-0.5f, -0.5f, -0.5f,  0.0f,  0.0f, -1.0f, 0.0f, 0.0f},
    // Right (+X)
    { 0.5f, -0.5f,  0.5f,  1.0f,  0.0f,  0.0f, 1.0f, 0.0f},
    { 0.5f,  0.5f,  0.5f,  1.0f,  0.0f,  0.0f, 1.0f, 1.0f},
    { 0.5f,  0.5f, -0.5f,  1.0f,  0.0f,  0.0f, 0.0f, 1.0f},
    { 0.5f, -0.5f, -0.5f,  1.0f,  0.0f,  0.0f, 0.0f, 0.0f},
    // Back (+Z)
    {-0.5f, -0.5f,  0.5f,  0.0f,  0.0f,  1.0f, 1.0f, 0.0f},
    {-0.5f,  0.5f,  0.5f,  0.0f,  0.0f,  1.0f, 1.0f, 1.0f},
    { 0.5f,  0.5f,  0.5f,  0.0f,  0.0f,  1.0f, 0.0f, 1.0f},
    { 0.5f, -0.5f,  0.5f,  0.0f,  0.0f,  1.0f, 0.0f, 0.0f},
    // Left (-X)
    {-0.5f, -0.5f, -0.5f, -1.0f,  0.0f,  0.0f, 1.0f, 0.0f},
    {-0.5f,  0.5f, -0.5f, -1.0f,  0.0f,  0.0f, 1.0f, 1.0f},
    {-0.5f,  0.5f,  0.5f, -1.0f,  0.0f,  0.0f, 0.0f, 1.0f},
    {-0.5f, -0.5f,  0.5f, -1.0f,  0.0f,  0.0f, 0.0f, 0.0f},
};

const uint16_t g_boxIndices[kBoxIndexCount] = {
     8,  9, 10, 10, 11,  8,  // SideFront
    20, 21, 22, 22, 23, 20,  // SideLeft
     4,  5,  6,  6,  7,  4,  // SideTop
    16, 17, 18, 18, 19, 16,  // SideBack
    12, 13, 14, 14, 15, 12,  // SideRight
     0,  1,  2,  2,  3,  0,  // SideBottom
};

void ScaleBoxVertices(BoxVertex* pOut, int nWidth, int nHeight, int nDepth)
{
    const float kTenth = 0.1f;
    std::memcpy(pOut, g_boxVertexTemplate, kBoxVertexBytes);
    for (int i = 0; i < kBoxVertexCount; ++i) {
        pOut[i].x = static_cast<float>(nWidth) * pOut[i].x * kTenth;
        pOut[i].y = static_cast<float>(nHeight) * pOut[i].y * kTenth;
        pOut[i].z = static_cast<float>(nDepth) * pOut[i].z * kTenth;
    }
}
