#pragma once
// The FLAC PICTURE block layout, also carried base64-encoded in Ogg comments
// (METADATA_BLOCK_PICTURE): big-endian type, MIME type, UTF-8 description,
// width, height, colour depth, number of colours and the picture bytes.

#include "tags/NativeTag.h"

namespace vantor {

// False when the block is cut short or a length points past its end.
bool ParsePictureBlock(const uint8_t* data, size_t size, TNativePicture& picture);
std::vector<uint8_t> BuildPictureBlock(const TNativePicture& picture);

} // namespace vantor
