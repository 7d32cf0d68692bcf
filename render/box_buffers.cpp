#include <algorithm>
#include <cstring>

#include "box_geometry.h"
#include "box_renderer.h"
#include "scene_shape.h"

void BoxRenderer::CreateBoxIndices()
{
    IDirect3DDevice9* pDevice = m_pDevice;
    if (!pDevice || m_pBoxIndices)
        return;
    if (FAILED(pDevice->CreateIndexBuffer(kBoxIndexBytes, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_DEFAULT,
                                          &m_pBoxIndices, nullptr)))
        return;
    void* pData = nullptr;
    if (FAILED(m_pBoxIndices->Lock(0, kBoxIndexBytes, &pData, 0)))
        return;
    std::memcpy(pData, g_boxIndices, kBoxIndexBytes);
    m_pBoxIndices->Unlock();
}

void BoxRenderer::FillBoxVertices()
{
    // The scene's shape, worked out once for the frame every pass of it draws from.
    m_frameStage = SceneStage(m_scene);
    m_frameShape = StageShape(m_frameStage);
    IDirect3DDevice9* pDevice = m_pDevice;
    if (!pDevice)
        return;
    if (!m_pBoxVertices)
        pDevice->CreateVertexBuffer(kBoxVertexBytes, D3DUSAGE_WRITEONLY, kBoxVertexFvf, D3DPOOL_MANAGED,
                                    &m_pBoxVertices, nullptr);
    if (!m_pBoxVertices)
        return;
    void* pData = nullptr;
    if (FAILED(m_pBoxVertices->Lock(0, kBoxVertexBytes, &pData, 0)))
        return;
    ScaleBoxVertices(static_cast<BoxVertex*>(pData), m_scene.m_nWidth, m_scene.m_nHeight, m_scene.m_nDepth);
    m_pBoxVertices->Unlock();
}

bool BoxRenderer::OwnShape() const
{
    return !m_scene.m_products.empty() || m_scene.m_nShape != ShapeBox ||
           (std::min({m_scene.m_nWidth, m_scene.m_nHeight, m_scene.m_nDepth}) / 2 > 0 && m_scene.m_nEdgeRadius > 0);
}

bool BoxRenderer::FillShapeBuffers()
{
    IDirect3DDevice9* pDevice = m_pDevice;
    if (!pDevice)
        return false;
    if (m_pShapeVertices && m_pShapeIndices && m_frameStage == m_shapeStage)
        return true;
    const ShapeMesh mesh = StageMesh(m_frameStage);
    const UINT vertexBytes = static_cast<UINT>(mesh.vertices.size() * sizeof(BoxVertex));
    const UINT indexBytes = static_cast<UINT>(mesh.indices.size() * sizeof(WORD));
    // Made again only when the counts change (a side all bend has a line less).
    if (m_nShapeVertexCount != mesh.vertices.size() || m_nShapeIndexCount != mesh.indices.size()) {
        m_pShapeVertices.Reset();
        m_pShapeIndices.Reset();
    }
    if (!m_pShapeVertices &&
        FAILED(pDevice->CreateVertexBuffer(vertexBytes, D3DUSAGE_WRITEONLY, kBoxVertexFvf, D3DPOOL_MANAGED,
                                           &m_pShapeVertices, nullptr)))
        return false;
    if (!m_pShapeIndices && FAILED(pDevice->CreateIndexBuffer(indexBytes, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16,
                                                             D3DPOOL_MANAGED, &m_pShapeIndices, nullptr)))
        return false;
    void* pData = nullptr;
    if (FAILED(m_pShapeVertices->Lock(0, vertexBytes, &pData, 0)))
        return false;
    std::memcpy(pData, mesh.vertices.data(), vertexBytes);
    m_pShapeVertices->Unlock();
    if (FAILED(m_pShapeIndices->Lock(0, indexBytes, &pData, 0)))
        return false;
    std::memcpy(pData, mesh.indices.data(), indexBytes);
    m_pShapeIndices->Unlock();
    m_shapeParts = mesh.parts;
    m_nShapeVertexCount = static_cast<UINT>(mesh.vertices.size());
    m_nShapeIndexCount = static_cast<UINT>(mesh.indices.size());
    m_shapeStage = m_frameStage;
    return true;
}
