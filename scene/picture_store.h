// Face and cover pictures read from files into ScenePictures. A file read again while its
// earlier picture is still held anywhere (a face, an undo step, a batch's cache) and has not
// changed on disk since gives that same picture: one decoding, one copy in memory.
#pragma once
#include <mutex>
#include <string>
#include <vector>

#include "box_scene.h"
#include "scene_picture.h"

// Why a file could not become a picture.
struct FaceLoadFailure {
    enum Reason { None, Unreadable, NotAPicture, TooLarge, Damaged, Device } reason = None;
    unsigned width = 0;  // the size the file claims, for TooLarge
    unsigned height = 0;
};

// Why, in words for the user: "the file was not found or cannot be read" and so on.
std::wstring FaceLoadReason(const FaceLoadFailure& why);

// The file's picture decoded, at most maxSide pixels a side, with the checks LoadPicture
// makes. *pbJpeg: the file is a JPEG.
bool DecodeFacePicture(const wchar_t* pszPath, unsigned maxSide, DecodedImage* pImage, bool* pbJpeg,
                       FaceLoadFailure* pWhy);

class PictureStore {
public:
    // The one store of the process.
    static PictureStore& Shared();

    // The picture in the file; null (and the reason in *pWhy when given) when it is not one
    // Zelmora reads. A size beyond what a face can take is refused from the file's header,
    // before any decoding. span: the most pixels a part of the picture can cover on screen
    // either way; the picture is held with at least that many pixels along each of its sides
    // (both, if it has them), no more. 0: as large as a face takes it.
    PictureRef Load(const wchar_t* pszPath, FaceLoadFailure* pWhy = nullptr, unsigned span = 0);

private:
    struct Entry {
        std::wstring key;               // the path, case folded
        unsigned long long stamp = 0;   // the file's last write
        unsigned long long size = 0;
        unsigned span = 0;              // what it was decoded for; 0: as large as a face takes it
        std::weak_ptr<const ScenePicture> picture;
    };
    std::mutex m_lock;
    std::vector<Entry> m_entries;
};

// The scene's face or cover picture taken from the file (the shared store's, when it holds
// it already); false (nothing changed) if the file is not a picture Zelmora reads, with the
// reason in *pWhy when given.
// span: as PictureStore::Load takes it.
bool LoadSideImage(BoxScene& scene, int nSlot, const wchar_t* pszPath, FaceLoadFailure* pWhy = nullptr,
                   unsigned span = 0);
void ClearSideImage(BoxScene& scene, int nSlot);

// A number no other picture of this run has: for a picture made in memory from another.
unsigned long long NewPictureSerial();
