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
