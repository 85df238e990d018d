#pragma once
// ffmpeg and mutagen as independent judges of the files the tag writers
// produce: the decoded audio's MD5 and the tags another reader sees.

#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace vantor::test {

struct TShellOutput {
    int Status = -1;
    std::string Text;
};

inline TShellOutput RunShell(const std::string& command)
{
    TShellOutput out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return out;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.Text.append(buffer, n);
    const int status = ::pclose(pipe);
    out.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
}

inline bool HasTool(const std::string& name) { return RunShell("command -v " + name + " >/dev/null 2>&1").Status == 0; }
inline bool HasFfmpeg() { return RunShell("command -v ffmpeg >/dev/null 2>&1").Status == 0; }
inline bool HasMutagen() { return RunShell("/usr/bin/python3 -c 'import mutagen' 2>/dev/null").Status == 0; }

// The MD5 of the decoded audio, empty when ffmpeg fails.
inline std::string DecodedAudioMd5(const std::string& file)
{
    const TShellOutput out = RunShell("ffmpeg -v error -i '" + file + "' -map 0:a -f md5 - 2>/dev/null");
    return out.Status == 0 ? out.Text : std::string();
}

// "NAME=value" lines of every tag mutagen reads from the file, sorted.
inline std::string MutagenTags(const std::string& file)
{
    return RunShell("/usr/bin/python3 -c \"import mutagen,sys; f=mutagen.File(sys.argv[1]); "
                    "print('\\n'.join(sorted(k.upper()+'='+v for k,vs in f.tags.as_dict().items() "
                    "for v in vs if k.upper()!='METADATA_BLOCK_PICTURE')))\" '"
        + file + "' 2>&1")
        .Text;
}

// The format's and streams' tags as ffprobe prints them.
inline std::string FfprobeTags(const std::string& file)
{
    return RunShell("ffprobe -v error -show_entries format_tags:stream_tags -of flat '" + file + "' 2>&1").Text;
}

} // namespace vantor::test
