#pragma once
// The FLAC PICTURE block layout, also carried base64-encoded in Ogg comments
// (METADATA_BLOCK_PICTURE): big-endian type, MIME type, UTF-8 description,
// width, height, colour depth, number of colours and the picture bytes.

#include "tags/NativeTag.h"

namespace vantor {

// False when the block is cut short or a length points past its end.
bool ParsePictureBlock(const uint8_t* data, size_t size, TNativePicture& picture);
// The head of a block whose first size bytes are at data and whose picture is cut off there:
// everything but the picture, whose place in the block (start, length) is given instead; Data
// takes what of it is at hand. False when the fields in front of the picture do not fit.
bool ParsePictureBlockHead(
    const uint8_t* data, size_t size, TNativePicture& picture, size_t& pictureStart, uint32_t& pictureLength);
std::vector<uint8_t> BuildPictureBlock(const TNativePicture& picture);

} // namespace vantor
