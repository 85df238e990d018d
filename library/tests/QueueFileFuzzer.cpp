// Queue files from arbitrary bytes, against two lists whose track IDs are "1" to "4".

#include "base/IniFile.h"
#include "library/PlayList.h"
#include "library/PlayQueue.h"
#include "library/PlayerSession.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace vantor;
    // Made once and kept for the whole run, as the lists' IDs never change. Held through plain
    // pointers, which no exit-time destructor frees, so they stay reachable to the leak check.
    static TPlayerSession* const session = new TPlayerSession();
    static std::vector<TVPlayList*> const* const lists = [] {
        auto* created = new std::vector<TVPlayList*>();
        for (const char* id : { "#1", "#2" }) {
            TVPlayList* const list = std::make_unique<TVPlayList>(*session).release();
            list->plID = id;
            created->push_back(list);
            for (const char* track : { "1", "2", "3", "4" }) {
                auto record = std::make_unique<TTrackData>();
                record->tdID = track;
                list->AppendTrack(std::move(record));
            }
        }
        return created;
    }();
    TPlayQueue& queue = session->Queue();
    queue.LoadQueue(TIniFile::FromBytes(std::string_view(reinterpret_cast<const char*>(data), size)), *lists);
    queue.RemoveFromQueue(queue.Track(0));
    queue.ClearQueue();
    return 0;
}
