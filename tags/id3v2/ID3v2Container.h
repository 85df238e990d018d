#pragma once

// Where an ID3v2 tag lives in a file and how a new tag is put there.
//
// A plain file (MPEG audio and anything not recognised) carries the tag at its start. WAV and
// RF64 files carry it in an "id3 " or "ID32" chunk, AIFF/AIFC in an "ID3 " chunk, DSDIFF in
// an "ID3 " chunk of its FRM8 form (64-bit sizes), and DSF files at the metadata offset of
// their header. Planning a save gives the file edits that put the new tag in place; the caller
// applies them in place or through a rewritten copy.

#include "tags/audio_attributes/ByteSource.h"
#include "tags/audio_attributes/ChunkWalker.h"
#include "tags/audio_attributes/SourceFileType.h"
#include "tags/id3v2/FileEdit.h"

#include <functional>

namespace vantor {

struct TID3v2Location {
    bool TagFound = false; // an "ID3" header at TagOffset
    uint64_t TagOffset = 0;
    bool ChunkFound = false; // the container's ID3 chunk (not for DSF)
    TChunk Chunk;
};

// Recognises WAV, RF64, AIFF/AIFC, DSF and DSDIFF from position 0 and finds the tag inside;
// sftUnknown for anything else (Location then stays empty).
TSourceFileType LocateID3v2InContainer(const TByteSource& Source, TID3v2Location& Location);

// Renders the tag with the given number of padding bytes into Out; returns a result code.
using TID3v2Renderer = std::function<int(uint32_t Padding, std::vector<uint8_t>& Out)>;

// Plans writing a tag whose size without padding is NewTagSize into Source:
// - an existing tag (or chunk) with room for it, leaving at most PaddingToWrite bytes over, is
//   overwritten in place, padded to end where the old one ended;
// - otherwise the tag is written with PaddingToWrite bytes of padding (DSF and DSDIFF: none),
//   and the container's size fields change with it.
// Returns 0, or 7 (container unfit for writing), 9 (RF64 without WAVE), 10 (new container
// size does not fit its field), or the renderer's code.
int PlanID3v2Save(const TByteSource& Source, uint64_t NewTagSize, uint32_t PaddingToWrite, const TID3v2Renderer& Render,
    TFileEdits& Edits);

// Plans taking the existing tag out of Source: from the start of a plain file (with the tag of
// a container behind it), the ID3 chunk out of its form (and the form's size down with it), or
// the tag off a DSF file (whose header then points at no metadata). No edits when there is no
// tag. Returns 0, 7 or 9 as above.
int PlanID3v2Removal(const TByteSource& Source, TFileEdits& Edits);

} // namespace vantor
