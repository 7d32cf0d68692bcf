// What the user is told when a picture cannot go on a face.
#pragma once
#include "afxwin.h"
#include "picture_store.h"

#include <cwctype>

CString FaceLoadMessage(LPCWSTR pszPath, const FaceLoadFailure& why);
