// An animated PNG (APNG) made of whole PNG pictures of one size, as EncodePng writes them:
// the first is the picture any PNG reader shows, the others follow as frames. Looped for
// ever, each frame shown for the same time, and written safely: the file appears at Commit.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "file_replace.h"

class ApngWriter {
public:
    HRESULT Open(const std::wstring& path, UINT frameCount, UINT delayMs);
    // The next frame, a whole PNG of the first one's size and kind.
    HRESULT AddFrame(const std::vector<BYTE>& png);
    // After the last frame (as many as Open said).
    HRESULT Commit();

private:
    HRESULT Put(const char type[4], const BYTE* data, size_t length);
    HRESULT PutFrameControl(UINT width, UINT height);

    FileReplacement m_file;
    UINT m_nFrames = 0, m_nAdded = 0, m_nDelayMs = 0;
    unsigned m_nSequence = 0;  // fcTL and fdAT chunks count together
    std::vector<BYTE> m_header;  // the first frame's IHDR data; every frame must match it
};
