#include "tools/vantor-tags/TagsCommand.h"

#include "base/SafeFileWriter.h"
#include "tags/FormatDetection.h"
#include "tags/Tags.h"
#include "tags/io/FileStream.h"
#include "tags/io/TextCodec.h"
#include "tools/vantor-tags/JsonWriter.h"

#include <charconv>
#include <filesystem>
#include <ostream>
#include <unistd.h>

namespace vantor {

namespace {

const char* const Usage =
    "usage: vantor-tags [--json] FILE...\n"
    "       vantor-tags [--set NAME=VALUE]... [--remove NAME]... [--picture IMAGEFILE]... FILE...\n"
    "       vantor-tags --picture-out IMAGEFILE FILE\n";

const char* const Help = "Shows or changes the tags of audio files.\n"
                         "\n"
                         "  --json               the tags, pictures and audio properties as JSON\n"
                         "  --set NAME=VALUE     sets a field (a new line in VALUE starts a new line)\n"
                         "  --remove NAME        removes a field\n"
                         "  --picture IMAGEFILE  adds a picture as the front cover\n"
                         "  --picture-out IMAGEFILE\n"
                         "                       writes the bytes of the file's first picture to IMAGEFILE\n"
                         "  --                   every argument after it is a file\n"
                         "  -h, --help           shows this help\n"
                         "  --version            shows the version\n"
                         "\n"
                         "Exit status: 0 on success, 1 when a file could not be read or written, 2 for a wrong\n"
                         "command line.\n";

struct TEdit {
    enum TKind { Set, Remove, Picture } Kind;
    std::string Name, Value;
};

struct TOptions {
    bool Help = false;
    bool Version = false;
    bool Json = false;
    std::string PictureOut;
    std::vector<TEdit> Edits;
    std::vector<std::string> Files;
};

// Multi-line values typed with LF get the CR LF the model uses.
std::string ToCrLf(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            out += '\r';
        out += text[i];
    }
    return out;
}

bool ParseArguments(const std::vector<std::string>& args, TOptions& options, std::string& error)
{
    bool onlyFiles = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (onlyFiles || a.empty() || a[0] != '-' || a == "-") {
            options.Files.push_back(a);
            continue;
        }
        auto value = [&](std::string& v) {
            if (i + 1 >= args.size()) {
                error = a + " needs a value";
                return false;
            }
            v = args[++i];
            return true;
        };
        std::string v;
        if (a == "-h" || a == "--help" || a == "--version") {
            // Asked for help, the rest of the line does not matter.
            (a == "--version" ? options.Version : options.Help) = true;
            return true;
        }
        if (a == "--") {
            onlyFiles = true;
        } else if (a == "--json") {
            options.Json = true;
        } else if (a == "--set") {
            if (!value(v))
                return false;
            const size_t eq = v.find('=');
            if (eq == std::string::npos || eq == 0) {
                error = "--set needs NAME=VALUE";
                return false;
            }
            options.Edits.push_back({ TEdit::Set, v.substr(0, eq), ToCrLf(v.substr(eq + 1)) });
        } else if (a == "--remove") {
            if (!value(v))
                return false;
            if (v.empty()) {
                error = "--remove needs a NAME";
                return false;
            }
            options.Edits.push_back({ TEdit::Remove, v, "" });
        } else if (a == "--picture") {
            if (!value(v))
                return false;
            if (!FileExists(v)) {
                error = "no such picture file: " + v;
                return false;
            }
            options.Edits.push_back({ TEdit::Picture, "", v });
        } else if (a == "--picture-out") {
            if (!value(options.PictureOut))
                return false;
            if (options.PictureOut.empty()) {
                error = "--picture-out needs an IMAGEFILE";
                return false;
            }
        } else {
            error = "unknown option " + a;
            return false;
        }
    }
    if (options.Files.empty()) {
        error = "no files given";
        return false;
    }
    if (options.Json && !options.Edits.empty()) {
        error = "--json does not combine with changes";
        return false;
    }
    if (!options.PictureOut.empty() && (options.Json || !options.Edits.empty() || options.Files.size() != 1)) {
        error = "--picture-out takes one FILE and nothing else";
        return false;
    }
    return true;
}

// What went wrong with a file, in words a person understands. A missing file and one the
// user may not read both fail to open, so the file itself tells them apart.
std::string ProblemText(const std::string& file, int result, bool saving)
{
    std::error_code error;
    const auto status = std::filesystem::status(file, error);
    if (result == tlFileNotFound
        || ((result == tlErrorOpeningFile || result == tlErrorWritingFile) && !std::filesystem::exists(status)))
        return "no such file";
    if (std::filesystem::is_directory(status))
        return "a folder, not a file";
    if (result == tlErrorOpeningFile || result == tlNeedExclusiveAccess
        || (result == tlErrorWritingFile && ::access(file.c_str(), W_OK) != 0))
        return "permission denied";
    if (result == tlNotSupportedFormat || result == tlNotSupported)
        return "not an audio file we know";
    if (result == tlErrorWritingFile || result == tlErrorSaving)
        return "could not be written";
    if (saving)
        return "the tag is damaged, file left unchanged";
    return "the file is damaged";
}

template <typename T>
void AppendNumber(std::string& out, T value)
{
    char text[24];
    out.append(text, std::to_chars(text, text + sizeof text, value).ptr);
}

// Appends the file's record to out; the caller writes it out in large pieces.
void AppendJson(std::string& out, const std::string& file, int result, TTags& tags, bool first)
{
    // A loaded file was looked at already; one that failed to load is looked at again.
    const TAudioFormat format = result == tlSuccess ? tags.AudioFormat : DetectAudioFormat(file);
    out += first ? "{\"file\":" : ",\n{\"file\":";
    AppendJsonString(out, file);
    out += ",\"result\":";
    AppendNumber(out, result);
    if (result != tlSuccess) {
        out += ",\"error\":";
        AppendJsonString(out, ProblemText(file, result, false));
    }
    out += tags.Loaded ? ",\"loaded\":true,\"format\":" : ",\"loaded\":false,\"format\":";
    AppendNumber(out, int(format));
    out += ",\"tags\":[";
    for (size_t i = 0; i < tags.Tags.size(); ++i) {
        const TTag& t = *tags.Tags[i];
        out += i ? ",{\"name\":" : "{\"name\":";
        AppendJsonString(out, t.Name);
        out += ",\"value\":";
        AppendJsonString(out, t.Value);
        out += ",\"language\":";
        AppendJsonString(out, t.Language);
        out += ",\"description\":";
        AppendJsonString(out, t.Description);
        out += '}';
    }
    out += "],\"pictures\":[";
    for (size_t i = 0; i < tags.CoverArts.size(); ++i) {
        const TCoverArt& p = *tags.CoverArts[i];
        out += i ? ",{\"name\":" : "{\"name\":";
        AppendJsonString(out, p.Name);
        out += ",\"mime\":";
        AppendJsonString(out, p.MIMEType);
        out += ",\"type\":";
        AppendNumber(out, p.CoverType);
        out += ",\"description\":";
        AppendJsonString(out, p.Description);
        out += ",\"format\":";
        AppendNumber(out, int(p.PictureFormat));
        out += ",\"size\":";
        AppendNumber(out, p.Size());
        out += ",\"width\":";
        AppendNumber(out, p.Width);
        out += ",\"height\":";
        AppendNumber(out, p.Height);
        out += '}';
    }
    const TSourceAudioAttributes& a = *tags.SourceAudioAttributes;
    out += "],\"audio\":{\"channels\":";
    AppendNumber(out, a.Channels());
    out += ",\"sampleRate\":";
    AppendNumber(out, a.SamplesPerSec());
    out += ",\"bitsPerSample\":";
    AppendNumber(out, a.BitsPerSample());
    out += ",\"playTime\":";
    out += JsonNumber(a.PlayTime());
    out += ",\"sampleCount\":";
    AppendNumber(out, a.SampleCount());
    out += ",\"bitRate\":";
    AppendNumber(out, a.BitRate());
    out += "}}";
}

void PrintText(std::ostream& out, const std::string& file, TTags& tags)
{
    out << SanitizeUtf8(file) << "\n";
    for (const auto& t : tags.Tags) {
        const std::string prefix = "  " + SanitizeUtf8(t->Name) + "=";
        const std::vector<std::string> lines = SplitTextLines(SanitizeUtf8(t->Value));
        out << prefix << (lines.empty() ? "" : lines[0]) << "\n";
        for (size_t i = 1; i < lines.size(); ++i)
            out << std::string(prefix.size(), ' ') << lines[i] << "\n";
    }
    for (const auto& p : tags.CoverArts)
        out << "  [picture] " << SanitizeUtf8(p->Name) << ": " << (p->MIMEType.empty() ? "unknown type" : p->MIMEType)
            << ", picture type " << p->CoverType << ", " << p->Size() << " bytes"
            << (p->Width ? ", " + std::to_string(p->Width) + "x" + std::to_string(p->Height) : std::string())
            << (p->Description.empty() ? "" : ", \"" + SanitizeUtf8(p->Description) + "\"") << "\n";
    const TSourceAudioAttributes& a = *tags.SourceAudioAttributes;
    out << "  [audio] " << a.Channels() << " channels, " << a.SamplesPerSec() << " Hz, " << a.BitsPerSample()
        << " bits, " << JsonNumber(a.PlayTime()) << " s, " << a.SampleCount() << " samples, " << a.BitRate()
        << " kbit/s\n";
}

// Applies the changes to one file; the failing step's unified code, or 0.
int EditFile(const std::string& file, const std::vector<TEdit>& edits, std::string& step)
{
    TTags tags;
    step = "load";
    const int loaded = tags.LoadFromFile(file);
    if (loaded != tlSuccess)
        return loaded;
    for (const TEdit& edit : edits) {
        switch (edit.Kind) {
        case TEdit::Set: tags.SetTag(edit.Name, edit.Value); break;
        case TEdit::Remove: tags.Clear(edit.Name); break;
        case TEdit::Picture:
            if (TCoverArt* picture =
                    tags.AddCoverArt("Cover art " + std::to_string(tags.CoverArtCount() + 1), edit.Value))
                picture->CoverType = 3; // front cover
            break;
        }
    }
    step = "save";
    const int saved = tags.SaveToFile(file, ttAutomatic);
    // Nothing to write for a model left empty means the file holds no tag: what was asked.
    const bool empty = tags.Count() == 0 && tags.CoverArtCount() == 0;
    return empty && (saved == tlEmptyTag || saved == tlEmptyFrames) ? tlSuccess : saved;
}

// Writes the first picture of the file to imageFile; the problem in words, or empty.
std::string ExportPicture(const std::string& file, const std::string& imageFile)
{
    TTags tags;
    tags.DeferPictureData = true; // only the picture written out is read whole
    const int result = tags.LoadFromFile(file);
    if (result != tlSuccess)
        return ProblemText(file, result, false);
    if (tags.CoverArts.empty())
        return "holds no picture";
    TCoverArt& picture = *tags.CoverArts.front();
    if (!picture.LoadData())
        return "the picture could not be read";
    const std::vector<uint8_t>& bytes = picture.Stream.Bytes();
    if (!ReplaceFileContents(imageFile, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())))
        return "the picture could not be written to " + SanitizeUtf8(imageFile);
    return "";
}

} // namespace

int RunTagsCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    TOptions options;
    std::string error;
    if (!ParseArguments(arguments, options, error)) {
        err << "vantor-tags: " << error << "\n" << Usage;
        return tagsExitUsage;
    }
    if (options.Help) {
        out << Usage << "\n" << Help;
        return tagsExitSuccess;
    }
    if (options.Version) {
        out << "vantor-tags " << VANTOR_VERSION << "\n";
        return tagsExitSuccess;
    }
    int exit = tagsExitSuccess;
    if (!options.PictureOut.empty()) {
        const std::string problem = ExportPicture(options.Files[0], options.PictureOut);
        if (problem.empty())
            return tagsExitSuccess;
        err << "vantor-tags: " << SanitizeUtf8(options.Files[0]) << ": " << problem << "\n";
        return tagsExitFailure;
    }
    if (!options.Edits.empty()) {
        for (const std::string& file : options.Files) {
            std::string step;
            const int result = EditFile(file, options.Edits, step);
            if (result != tlSuccess) {
                err << "vantor-tags: " << SanitizeUtf8(file) << ": " << ProblemText(file, result, step == "save")
                    << "\n";
                exit = tagsExitFailure;
            }
        }
        return exit;
    }
    // The JSON text is gathered and written in pieces of this size: one write per file costs
    // more than making the record.
    constexpr size_t JsonPiece = 1 << 16;
    std::string json = options.Json ? "[" : "";
    // Every load starts by clearing the model, so one serves every file.
    TTags tags;
    tags.ParseOggPlayTime = true;
    tags.DeferPictureData = true;
    tags.ParseWavPackAudioAttributes = true;
    tags.ParseMusePackAudioAttributes = true;
    for (size_t i = 0; i < options.Files.size(); ++i) {
        const std::string& file = options.Files[i];
        const int result = tags.LoadFromFile(file);
        if (result != tlSuccess) {
            err << "vantor-tags: " << SanitizeUtf8(file) << ": " << ProblemText(file, result, false) << "\n";
            exit = tagsExitFailure;
        }
        if (options.Json) {
            AppendJson(json, file, result, tags, i == 0);
            if (json.size() >= JsonPiece) {
                out.write(json.data(), std::streamsize(json.size()));
                json.clear();
            }
        } else if (result == tlSuccess) {
            PrintText(out, file, tags);
        }
    }
    if (options.Json) {
        json += "]\n";
        out.write(json.data(), std::streamsize(json.size()));
    }
    return exit;
}

} // namespace vantor
