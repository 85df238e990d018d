#include "library/CoverThread.h"

#include "library/PlayList.h"
#include "library/PlayerSession.h"
#include "library/PlaylistLoader.h"
#include "library/SmartThread.h"
#include "platform/graphics/BmpImage.h"
#include "platform/graphics/GifImage.h"
#include "platform/graphics/ImageScale.h"
#include "platform/graphics/JpegImage.h"
#include "platform/graphics/PngImage.h"
#include "tags/Tags.h"

#include <algorithm>
#include <filesystem>
#include <mutex>

namespace vantor {

namespace {

constexpr int DefaultCoverSide = 96;

// One on-screen group whose picture is to be loaded, as the UI thread saw it.
struct TCoverJob {
    TGroupData* Group = nullptr; // an identity to look for later, never dereferenced here
    std::string GroupID;
    std::vector<std::string> Files; // the rows' files in row order
    int Width = DefaultCoverSide;
    int Height = DefaultCoverSide;
};

void ReleasePicture(TGroupData& group)
{
    std::lock_guard lock(group.gdCoverLock);
    group.gdPicture.reset();
    group.gdPictureCache.reset();
    group.gdHaveCover = false;
}

// UI thread: the groups to load now; off-screen pictures are released on the way.
std::vector<TCoverJob> PlanWalk(TVPlayList& list)
{
    std::vector<TCoverJob> jobs;
    if (list.Session().CurrentPlayList != &list || list.plLoading)
        return jobs;
    TCoverHooks const& hooks = list.Session().CoverHooks;
    for (TGroupData* group : list.plGroups) {
        bool const shown = !hooks.GroupShown || hooks.GroupShown(list, *group);
        if (shown && group->gdNeedIcons) {
            group->gdNeedIcons = false;
            TCoverJob job;
            job.Group = group;
            job.GroupID = group->gdID;
            for (const TItemData* row : group->Rows())
                if (row && row->idTrackData)
                    job.Files.push_back(row->idTrackData->GetTag(tkFilePath));
            if (hooks.CoverSize)
                hooks.CoverSize(list, *group, job.Width, job.Height);
            jobs.push_back(std::move(job));
        } else if (!shown && !group->gdNeedIcons) {
            group->gdNeedIcons = true;
            ReleasePicture(*group);
        }
    }
    return jobs;
}

// UI thread: the group of a job, when it is still the one the job was made for. A regrouping
// frees every group and makes new ones that need their pictures, so a group that is in the
// list, has the same key and is marked as loaded by this walk is the job's own.
TGroupData* FindGroup(TVPlayList& list, const TCoverJob& job)
{
    for (TGroupData* group : list.plGroups)
        if (group == job.Group)
            return !group->gdNeedIcons && group->gdID == job.GroupID ? group : nullptr;
    return nullptr;
}

void LoadCover(TSmartThread& thread, TVPlayList& list, const TCoverJob& job)
{
    for (const std::string& file : job.Files) {
        if (thread.Terminated())
            return;
        TBitmap picture = ReadFirstPicture(file);
        if (picture.IsEmpty())
            continue; // a failure moves on to the next row
        auto scaled = std::make_unique<TBitmap>(ScaleBitmap(picture, job.Width, job.Height));
        auto cache = std::make_unique<TBitmap>(std::move(picture));
        thread.Synchronize([&] {
            TGroupData* const group = FindGroup(list, job);
            if (!group)
                return;
            {
                std::lock_guard lock(group->gdCoverLock);
                group->gdPictureCache = std::move(cache);
                group->gdPicture = std::move(scaled);
                group->gdHaveCover = true;
            }
            if (list.Session().CoverHooks.RepaintList)
                list.Session().CoverHooks.RepaintList(list);
        });
        return;
    }
}

}

TBitmap DecodePicture(TTagPictureFormat format, const uint8_t* data, size_t size)
{
    switch (format) {
    case tpfJPEG: return DecodeJpeg(data, size);
    case tpfPNG: return DecodePng(data, size);
    case tpfBMP: return DecodeBmp(data, size);
    case tpfGIF: return DecodeGif(data, size);
    case tpfUnknown: break;
    }
    return {};
}

TBitmap ReadFirstPicture(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return {};
    try {
        TTags tags;
        tags.LoadFromFile(path);
        if (!tags.Loaded || tags.CoverArts.empty())
            return {};
        TCoverArt const& art = *tags.CoverArts.front();
        const std::vector<uint8_t>& bytes = art.Stream.Bytes();
        TTagPictureFormat format = art.PictureFormat;
        if (format == tpfUnknown)
            format = PictureFormatFromBytes(bytes.data(), bytes.size());
        return DecodePicture(format, bytes.data(), bytes.size());
    } catch (...) {
        return {};
    }
}

void Icons_Load(TSmartThread& thread)
{
    TVPlayList* const list = thread.itPlayList();
    if (!list)
        return;
    bool hasGroups = false;
    if (!thread.Synchronize([&] { hasGroups = !list->plGroups.empty(); }) || !hasGroups)
        return;
    list->plNeedsIcons = false;
    std::chrono::milliseconds const interval = list->Session().CoverHooks.Interval;
    do {
        std::vector<TCoverJob> jobs;
        if (!thread.itPaused && !thread.Synchronize([&] { jobs = PlanWalk(*list); }))
            return;
        for (const TCoverJob& job : jobs) {
            if (thread.Terminated() || thread.itPaused)
                break;
            LoadCover(thread, *list, job);
        }
    } while (thread.Sleep(interval));
}

void Icons_Start(TVPlayList& list, bool StartLoading)
{
    if (list.vfIconThread)
        Icons_Stop(list);
    list.vfIconThread = std::make_unique<TSmartThread>(&list, Icons_Load, list.Session().LoaderHooks.Dispatcher);
    if (StartLoading)
        Icons_Reset(list);
}

void Icons_Stop(TVPlayList& list)
{
    if (!list.vfIconThread)
        return;
    // The walk stops between pictures; nothing it loads later is stored.
    list.vfIconThread->Abort();
    list.vfIconThread.reset();
}

void Icons_Reset(TVPlayList& list)
{
    if (list.vfIconThread)
        list.vfIconThread->Reset();
    else
        Icons_Start(list, true);
}

void Icons_Pause(TVPlayList& list)
{
    if (list.vfIconThread)
        list.vfIconThread->itPaused = true;
}

bool Icons_Active(const TVPlayList& list) { return list.vfIconThread != nullptr; }

}
