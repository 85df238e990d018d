#include "tags/ResultTranslation.h"

#include <initializer_list>
#include <utility>

namespace vantor {

namespace {

int Lookup(int code, std::initializer_list<std::pair<int, int>> table)
{
    for (const auto& [from, to] : table)
        if (from == code)
            return to;
    return tlError;
}

} // namespace

int TranslateAPEv2Result(int code)
{
    return Lookup(
        code, { { 0, 0 }, { 1, 1 }, { 2, 3 }, { 3, 4 }, { 4, 5 }, { 5, 6 }, { 6, 7 }, { 7, 8 }, { 8, 9 }, { 9, 10 } });
}

int TranslateFlacResult(int code)
{
    return Lookup(
        code, { { 0, 0 }, { 1, 1 }, { 2, 3 }, { 3, 4 }, { 4, 5 }, { 5, 6 }, { 6, 7 }, { 7, 9 }, { 8, 10 }, { 9, 14 } });
}

int TranslateID3v1Result(int code) { return Lookup(code, { { 0, 0 }, { 3, 5 }, { 4, 6 }, { 5, 7 } }); }

int TranslateID3v2Result(int code)
{
    return Lookup(code,
        { { 0, 0 }, { 1, 1 }, { 2, 3 }, { 3, 4 }, { 4, 5 }, { 5, 6 }, { 6, 7 }, { 7, 8 }, { 8, 9 }, { 9, 10 },
            { 10, 13 }, { 11, 14 } });
}

int TranslateMP4Result(int code)
{
    return Lookup(code,
        { { 0, 0 }, { 1, 1 }, { 2, 3 }, { 3, 4 }, { 4, 5 }, { 5, 6 }, { 6, 7 }, { 7, 13 }, { 8, 9 }, { 9, 10 },
            { 10, 14 }, { 11, 19 }, { 12, 20 }, { 13, 21 } });
}

int TranslateOggResult(int code)
{
    return Lookup(code,
        { { 0, 0 }, { 1, 1 }, { 2, 3 }, { 3, 4 }, { 4, 5 }, { 5, 6 }, { 6, 7 }, { 7, 8 }, { 8, 9 }, { 9, 10 },
            { 10, 14 } });
}

int TranslateWAVResult(int code) { return TranslateID3v2Result(code); }

int TranslateWMAResult(int code)
{
    return Lookup(code, { { 0, 0 }, { 1, 2 }, { 2, 15 }, { 3, 16 }, { 4, 17 }, { 5, 18 } });
}

int TranslateResult(TTagType type, int code)
{
    switch (type) {
    case ttAPEv2: return TranslateAPEv2Result(code);
    case ttFlac: return TranslateFlacResult(code);
    case ttID3v1: return TranslateID3v1Result(code);
    case ttID3v2: return TranslateID3v2Result(code);
    case ttMP4: return TranslateMP4Result(code);
    case ttOpusVorbis: return TranslateOggResult(code);
    case ttWAV: return TranslateWAVResult(code);
    case ttWMA: return TranslateWMAResult(code);
    default: return tlError;
    }
}

} // namespace vantor
