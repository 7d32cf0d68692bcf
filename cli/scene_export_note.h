// A scene file carries the window's Save Image settings (size, supersampling) with it. For a
// spin or a batch they cost every picture (3 x 3 supersampling: 9 times the drawing), so
// when a scene's settings are in force there, not the command line's or the line's, it is
// said once on standard error.
#pragma once
#include <string>
#include <vector>

#include "json_object.h"
#include "render_job.h"

class SceneExportNote {
public:
    // A picture of the run; given: the options the command line and its line gave.
    void Add(const RenderJob& job, const std::vector<JsonMember>& given);
    // The note ("zelmora-render: note: ..."), empty when no scene's settings are in force.
    std::wstring Note() const;

private:
    size_t m_nSupersampled = 0, m_nSized = 0;
    int m_nSupersample = 1;
    UINT m_width = 0, m_height = 0;
};
