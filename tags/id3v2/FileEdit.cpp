#include "tags/id3v2/FileEdit.h"

namespace vantor {

bool ApplyEdits(TStream& Stream, const TFileEdits& Edits)
{
    for (auto E = Edits.rbegin(); E != Edits.rend(); ++E) {
        if (!Stream.Replace(E->Offset, E->RemoveLength, E->Insert.data(), E->Insert.size()))
            return false;
    }
    return true;
}

} // namespace vantor
