#include <algorithm>
#include <cstring>

#include "box_geometry.h"
#include "box_renderer.h"

void BoxRenderer::CreateBoxIndices()
{
    IDirect3DDevice9* pDevice = m_scene.m_pDevice;
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
    IDirect3DDevice9* pDevice = m_scene.m_pDevice;
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

bool BoxRenderer::RoundedEdges() const
{
    return std::min({m_scene.m_nWidth, m_scene.m_nHeight, m_scene.m_nDepth}) / 2 > 0 && m_scene.m_nEdgeRadius > 0;
}

bool BoxRenderer::FillShapeBuffers()
{
    IDirect3DDevice9* pDevice = m_scene.m_pDevice;
    const int key[4] = {m_scene.m_nWidth, m_scene.m_nHeight, m_scene.m_nDepth, m_scene.m_nEdgeRadius};
    if (!pDevice)
        return false;
    if (m_pShapeVertices && m_pShapeIndices && std::equal(key, key + 4, m_shapeKey))
        return true;
    const ShapeMesh mesh = BoxShapeMesh(key[0], key[1], key[2], key[3]);
    const UINT vertexBytes = static_cast<UINT>(mesh.vertices.size() * sizeof(BoxVertex));
    const UINT indexBytes = static_cast<UINT>(mesh.indices.size() * sizeof(WORD));
    // Made again only when the counts change (a side all bend has a line less).
    if (m_nShapeVertexCount != mesh.vertices.size() || m_nShapeIndexCount != mesh.indices.size()) {
        SafeRelease(m_pShapeVertices);
        SafeRelease(m_pShapeIndices);
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
    std::copy(key, key + 4, m_shapeKey);
    return true;
}
