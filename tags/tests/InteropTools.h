#pragma once
// Running the third-party tools the interop tests compare with: ffmpeg, ffprobe and the
// system's python3 with mutagen.

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace vantor::test {

// What the shell command printed on its standard output.
inline std::string RunCommand(const std::string& command)
{
    std::string output;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    if (!pipe)
        return output;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;)
        output.append(buffer, n);
    return output;
}

// Whether the probe command succeeds (a tool or python module is there).
inline bool Have(const std::string& probe) { return std::system((probe + " >/dev/null 2>&1").c_str()) == 0; }

// ffmpeg, ffprobe and the mutagen module (e.g. "mutagen.asf") are all there.
inline bool HaveInteropTools(const std::string& mutagenModule = "mutagen")
{
    return Have("ffmpeg -version") && Have("ffprobe -version")
        && Have("/usr/bin/python3 -c 'import " + mutagenModule + "'");
}

// MD5 of the decoded audio; empty when ffmpeg fails or reports an error.
inline std::string DecodedMD5(const std::string& path)
{
    const std::string out = RunCommand("ffmpeg -v error -nostdin -i '" + path + "' -map 0:a -f md5 - 2>&1");
    return out.rfind("MD5=", 0) == 0 && out.find('\n') == out.size() - 1 ? out : std::string();
}

} // namespace vantor::test
