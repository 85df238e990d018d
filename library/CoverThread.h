#pragma once

// The cover thread of a playlist: while the list is the current one, every 500 ms it loads the
// pictures of the groups on screen and releases those of the groups off screen, so memory
// follows the visible part of the list.
//
// The thread never touches the groups directly. Each walk starts with a hand-off in which the
// UI thread picks the groups (and their files) to load and releases the others; the pictures
// are read, decoded and scaled on the thread; each group's picture is stored by another
// hand-off, which first checks that the group still exists (a regrouping may have replaced
// it meanwhile). So regrouping needs no pause of the thread and painting never sees a picture
// half replaced. UI thread, except Icons_Load (the thread's body).

#include "platform/graphics/Bitmap.h"
#include "tags/TagTypes.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace vantor {

class TGroupData;
class TSmartThread;
class TVPlayList;

struct TCoverHooks {
    // The size in device pixels of a group's picture (its header view's). Unset: 96 x 96.
    std::function<void(const TVPlayList&, const TGroupData&, int& width, int& height)> CoverSize;
    // Whether a group's header is on screen (the view knows). Unset: every group is.
    std::function<bool(const TVPlayList&, const TGroupData&)> GroupShown;
    // Repaints the list (a group got its picture).
    std::function<void(TVPlayList&)> RepaintList;
    // Time between two walks.
    std::chrono::milliseconds Interval { 500 };
};

// A new cover thread for the list (stopping the old one first); StartLoading starts a walk.
void Icons_Start(TVPlayList& list, bool StartLoading);
void Icons_Stop(TVPlayList& list);
// Walks again now; starts the thread when there is none.
void Icons_Reset(TVPlayList& list);
// Ends the current walk; Icons_Reset resumes.
void Icons_Pause(TVPlayList& list);
bool Icons_Active(const TVPlayList& list);

// The cover thread's body.
void Icons_Load(TSmartThread& thread);

// Decodes a picture of the given format; empty when it fails.
TBitmap DecodePicture(TTagPictureFormat format, const uint8_t* data, size_t size);
// The first picture of an audio file's tags, decoded; empty when the file is gone, holds no
// picture, or the picture cannot be decoded. Any thread.
TBitmap ReadFirstPicture(const std::string& path);

}
