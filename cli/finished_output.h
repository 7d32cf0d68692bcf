// Is an output already complete? For --resume: a task run again keeps what an earlier run
// finished. Pictures and models are put in place only once written whole, but a file can
// still arrive cut short (a copy or a sync stopped half-way), so each format's own end is
// checked: a file without it is made again.
#pragma once
#include <string>

// A PNG or APNG ending in its IEND chunk, a JPEG ending in its end-of-image marker, a .glb
// whose header gives its own size, a viewer page that ends its html.
bool IsFinishedOutput(const std::wstring& path);
