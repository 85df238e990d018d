// Feeds arbitrary bytes to stream creation and plays whatever opens, with a seek, on a manual
// null output.
#include "platform/audio/AudioEngine.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static vantor::TAudioEngine* engine = [] {
        auto* e = new vantor::TAudioEngine;
        vantor::TNullOutputOptions options;
        options.Clock = vantor::TNullOutputOptions::TClock::Manual;
        e->InitNull(options);
        return e;
    }();
    const auto handle = engine->StreamCreateMemory(std::as_bytes(std::span(data, size)));
    if (handle == 0)
        return 0;
    const auto fx = engine->ChannelSetFX(handle, vantor::TEffectType::ParamEq, 1);
    engine->FXSetParameters(fx, { 1000.0f, 18.0f, 12.0f });
    engine->ChannelPlay(handle);
    engine->Advance(0.3);
    engine->ChannelSetPosition(handle, engine->ChannelGetLength(handle) / 2);
    engine->Advance(0.3);
    engine->ChannelGetPosition(handle);
    engine->StreamFree(handle);
    return 0;
}
