#include "platform/graphics/GifImage.h"
#include "platform/graphics/tests/ImageDecoderFuzzer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return vantor::FuzzImageDecoder<vantor::DecodeGif>(data, size);
}
