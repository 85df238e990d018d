#include "platform/graphics/JpegImage.h"
#include "platform/graphics/tests/ImageDecoderFuzzer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return vantor::FuzzImageDecoder<vantor::DecodeJpeg>(data, size);
}
