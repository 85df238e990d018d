#pragma once

namespace vantor {

// Result codes of the ID3v2 reader and writer; the unified model translates them.
enum TID3v2Result : int {
    id3v2Success = 0,
    id3v2NoTag = 1,              // no "ID3" header where one was looked for
    id3v2NoFrames = 2,           // nothing to write: the tag has no frames
    id3v2EmptyFrames = 3,        // nothing to write: all frames are empty
    id3v2ErrorOpeningFile = 4,   // the file does not exist or cannot be opened
    id3v2ErrorSaving = 5,        // a failure while the file was being changed
    id3v2ErrorWriting = 6,       // a write failed, or the temporary file could not be created
    id3v2InvalidContainer = 7,   // a WAV/AIFF/RF64/DSF/DSDIFF structure unfit for writing
    id3v2UnsupportedVersion = 8, // major version outside 2..4 (read) or not 3/4 (write)
    id3v2RF64NotWave = 9,        // RF64 form without "WAVE"
    id3v2ContainerTooLarge = 10, // the container's new size does not fit its size field
    id3v2NeedExclusiveAccess = 11,
    id3v2Error = 0xFFFF,
};

} // namespace vantor
