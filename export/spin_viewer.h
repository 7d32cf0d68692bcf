// A spin as one web page: every picture inside it (no network, no other file, no script
// from elsewhere), turned by dragging with the mouse or a finger and by the arrow keys.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "file_replace.h"

class SpinViewerWriter {
public:
    // width, height: the pictures' size; the page shows them at most that large.
    HRESULT Open(const std::wstring& path, UINT frameCount, UINT width, UINT height, const std::wstring& title);
    // The next picture, a whole PNG or JPEG file.
    HRESULT AddFrame(const std::vector<BYTE>& picture, bool bJpeg);
    // record: what made the page (picture_record.h), written before its end; empty: none.
    HRESULT Commit(const std::string& record = std::string());

private:
    HRESULT Put(const std::string& text);
    FileReplacement m_file;
    UINT m_nFrames = 0, m_nAdded = 0;
};

// The pictures' bytes as base64, for a data: address.
std::string Base64(const BYTE* data, size_t length);
