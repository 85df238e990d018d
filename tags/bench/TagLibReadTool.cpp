// The peer library as users run it, for the process-level comparison in
// tag_read_outside.py: every file named on the command line through a FileRef with
// average audio properties, one line per file with the common fields.

#include <taglib/fileref.h>
#include <taglib/tag.h>

#include <cstdio>

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        TagLib::FileRef file(argv[i], true, TagLib::AudioProperties::Average);
        const TagLib::Tag* tag = file.tag();
        const TagLib::AudioProperties* audio = file.audioProperties();
        std::printf("%s\t%s\t%s\t%s\t%u\t%d\t%d\t%d\t%d\n", argv[i], tag ? tag->title().toCString(true) : "",
            tag ? tag->artist().toCString(true) : "", tag ? tag->album().toCString(true) : "", tag ? tag->track() : 0,
            audio ? audio->lengthInMilliseconds() : 0, audio ? audio->bitrate() : 0, audio ? audio->sampleRate() : 0,
            audio ? audio->channels() : 0);
    }
    return 0;
}
