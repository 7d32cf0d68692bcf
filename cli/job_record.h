// What made a picture, for --resume: a digest of everything that decides what a job writes
// (its scene, size, format and spin) and of its pictures' contents. Written into each file
// the job writes; a file is kept only when it is whole and holds the digest of the job that
// would write it now, so that a changed catalogue, spin or picture is made again.
#pragma once
#include <string>

#include "render_job.h"

std::string JobRecord(const RenderJob& job);

// A file an earlier run finished for this very job (record: JobRecord of it).
bool IsFinishedOutput(const std::wstring& path, const std::string& record);
