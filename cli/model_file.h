// zelmora-render -o box.glb: the job's box as a glTF binary model, its face pictures at most
// the job's model texture size a side.
#pragma once
#include <string>

#include "render_job.h"

bool IsModelName(const std::wstring& path);
// False with the reason, naming the face or the file at fault.
bool WriteModelFile(const RenderJob& job, std::wstring* pError);
