#include "face_load_message.h"

CString FaceLoadMessage(LPCWSTR pszPath, const FaceLoadFailure& why)
{
    std::wstring reason = FaceLoadReason(why);
    reason[0] = static_cast<wchar_t>(towupper(reason[0]));
    CString message;
    message.Format(L"Cannot put this picture on the face:\n%ls\n\n%ls.", pszPath, reason.c_str());
    return message;
}
