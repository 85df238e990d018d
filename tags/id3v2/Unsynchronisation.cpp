#include "tags/id3v2/Unsynchronisation.h"

#include <cstring>

namespace vantor {

void RemoveUnsynchronisation(std::vector<uint8_t>& Data)
{
    // Nothing to drop is the usual case; avoid touching the data then.
    const uint8_t* Begin = Data.data();
    const uint8_t* End = Begin + Data.size();
    const uint8_t* P = Begin;
    while (P < End && (P = static_cast<const uint8_t*>(std::memchr(P, 0xFF, size_t(End - P)))) != nullptr) {
        if (P + 1 < End && P[1] == 0x00)
            break;
        ++P;
    }
    if (P == nullptr || P >= End)
        return;

    size_t Out = size_t(P - Begin);
    bool AfterFF = false;
    for (size_t In = Out; In < Data.size(); ++In) {
        const uint8_t B = Data[In];
        if (!(AfterFF && B == 0x00))
            Data[Out++] = B;
        AfterFF = B == 0xFF;
    }
    Data.resize(Out);
}

void ApplyUnsynchronisation(std::vector<uint8_t>& Data)
{
    std::vector<uint8_t> Out;
    Out.reserve(Data.size() + Data.size() / 64 + 1);
    for (size_t I = 0; I < Data.size(); ++I) {
        Out.push_back(Data[I]);
        if (Data[I] == 0xFF && I + 1 < Data.size() && (Data[I + 1] == 0x00 || Data[I + 1] >= 0xE0))
            Out.push_back(0x00);
    }
    Data.swap(Out);
}

} // namespace vantor
