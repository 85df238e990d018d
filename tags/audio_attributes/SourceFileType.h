#pragma once

namespace vantor {

// What the ID3v2 reader found a file to be while looking for its tag.
enum TSourceFileType {
    sftUnknown = 0,
    sftMPEG = 1,
    sftWAVE = 2,
    sftRF64 = 3,
    sftAIFF = 4,
    sftDSF = 5,
    sftDFF = 6,
};

} // namespace vantor
