#pragma once
// Translation of each format object's own result codes into the unified codes.

#include "tags/TagTypes.h"

namespace vantor {

int TranslateAPEv2Result(int code);
int TranslateFlacResult(int code);
int TranslateID3v1Result(int code);
int TranslateID3v2Result(int code);
int TranslateMP4Result(int code);
int TranslateOggResult(int code);
int TranslateWAVResult(int code);
int TranslateWMAResult(int code);
// By tag type; ttNone, ttAutomatic and unknown types give tlError.
int TranslateResult(TTagType type, int code);

} // namespace vantor
