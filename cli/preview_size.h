// The size in pixels of the window's preview, as the main dialog's template and font make
// it on this system: the default size of a picture, so that it equals the window's.
#pragma once
#include <windows.h>

SIZE PreviewSize();
