#pragma once

// Time-stamped lyrics: lines that start with one or more "[mm:ss]", "[mm:ss.xx]" or
// "[mm:ss.xxx]" stamps, an optional "[offset:+/-ms]" tag and other "[key:value]" tags that
// describe the song and are not shown. A pure reader: text in, lines in time order out.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

struct TLrcLine {
    int64_t TimeMs = 0; // when the line starts, the offset applied, never below 0
    std::string Text;   // without its stamps, valid UTF-8
};

// The timed lines of text, sorted by time (lines with the same time keep their order). A line
// with several stamps appears once per stamp. Empty when text is not time-stamped lyrics:
// no stamped line, or more plain text lines than stamped ones (a "[Chorus]" heading or a
// stray stamp does not turn plain lyrics into timed ones).
std::vector<TLrcLine> ParseLrc(std::string_view text);

// The index of the line that is sung at positionMs: the last one that started at or before
// it; -1 before the first line.
int LrcLineAt(const std::vector<TLrcLine>& lines, int64_t positionMs);

}
