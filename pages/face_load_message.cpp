#include "face_load_message.h"

#include "decoded_image.h"

CString FaceLoadMessage(LPCWSTR pszPath, const FaceLoadFailure& why)
{
    CString reason;
    switch (why.reason) {
    case FaceLoadFailure::Unreadable:
        reason = L"The file was not found or cannot be read.";
        break;
    case FaceLoadFailure::NotAPicture:
        reason = L"It is not a picture Zelmora reads. Zelmora reads JPEG, PNG, BMP and TGA pictures.";
        break;
    case FaceLoadFailure::TooLarge: {
        UINT side = 1;
        while (static_cast<unsigned long long>(side * 2) * (side * 2) <= kMaxImagePixels)
            side *= 2;
        reason.Format(L"The picture is too large: %u x %u pixels. Zelmora reads pictures of up to %u x %u pixels.",
                      why.width, why.height, side, side);
        break;
    }
    default:
        reason = L"The picture is damaged and cannot be read.";
        break;
    }
    CString message;
    message.Format(L"Cannot put this picture on the face:\n%ls\n\n%ls", pszPath, reason.GetString());
    return message;
}
