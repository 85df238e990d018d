// Reading and writing ASF headers: every attribute type, where a save puts each
// attribute, the padding and rewrite paths, damaged headers, and the unified model on top.

#include "tags/asf/WMATag.h"
#include "tags/Tags.h"
#include "tags/asf/WMAHeader.h"
#include "tags/io/Bytes.h"
#include "tags/io/TextCodec.h"
#include "tags/tests/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

namespace vantor {
namespace {

using namespace vantor::test;

std::vector<uint8_t> Utf16(const std::string& text) { return Utf8ToUtf16(text, false); }

bool Contains(const std::vector<uint8_t>& bytes, const std::vector<uint8_t>& part)
{
    return std::search(bytes.begin(), bytes.end(), part.begin(), part.end()) != bytes.end();
}

uint64_t HeaderSize(const std::vector<uint8_t>& file) { return GetLE64(file.data() + 16); }

std::vector<uint8_t> AfterHeader(const std::vector<uint8_t>& file)
{
    return std::vector<uint8_t>(file.begin() + ptrdiff_t(HeaderSize(file)), file.end());
}

// The objects of the header, with those of the header extension appended.
std::vector<TASFObject> AllObjects(const std::vector<uint8_t>& file)
{
    TMemoryStream stream(file);
    TASFHeader header;
    EXPECT_EQ(ReadASFHeader(stream, header), wmaSuccess);
    std::vector<TASFObject> all = header.Objects;
    for (const TASFObject& object : header.Objects) {
        std::vector<uint8_t> prefix;
        std::vector<TASFObject> inner;
        if (object.Guid == asf::HeaderExtensionObject && SplitHeaderExtension(object.Body, prefix, inner))
            all.insert(all.end(), inner.begin(), inner.end());
    }
    return all;
}

const TASFObject* Find(const std::vector<TASFObject>& objects, const TASFGuid& guid)
{
    const auto it = std::find_if(objects.begin(), objects.end(), [&](const TASFObject& o) { return o.Guid == guid; });
    return it == objects.end() ? nullptr : &*it;
}

TEST(WMATag, ReadsEveryAttributeTypeOfAMutagenFile)
{
    TWMATag tag;
    ASSERT_EQ(tag.LoadFromFile(Fixture("asf/mutagen.wma")), wmaSuccess);
    ASSERT_TRUE(tag.Loaded());
    EXPECT_EQ(tag.ReadFrameByNameAsText("Title"), "Title \xC3\xA9");
    EXPECT_EQ(tag.ReadFrameByNameAsText("author"), "Artist");
    EXPECT_EQ(tag.ReadFrameByNameAsText("Description"), "First line\r\nSecond line");
    EXPECT_EQ(tag.ReadFrameByNameAsText("wm/albumtitle"), "Album");

    const struct {
        const char* Name;
        TWMAAttributeType Format;
        int64_t Integer;
        size_t Bytes;
    } integers[] = {
        { "WM/Track", wmaTypeDWORD, 2, 4 },
        { "WM/BeatsPerMinute", wmaTypeWORD, 120, 2 },
        { "WM/Playcount", wmaTypeQWORD, 5000000000, 8 },
        { "WM/IsCompilation", wmaTypeBool, 1, 4 },
    };
    for (const auto& c : integers) {
        SCOPED_TRACE(c.Name);
        const int i = tag.GetAttribIndex(c.Name);
        ASSERT_GE(i, 0);
        EXPECT_EQ(tag.Frames[size_t(i)]->Format, c.Format);
        EXPECT_EQ(tag.Frames[size_t(i)]->Stream.size(), c.Bytes);
        EXPECT_EQ(tag.ReadAsInteger(c.Name), c.Integer);
        EXPECT_EQ(tag.ReadFrameByNameAsText(c.Name), std::to_string(c.Integer));
    }
    const TWMATagFrame& guid = *tag.Frames[size_t(tag.GetAttribIndex("WM/MediaClassPrimaryID"))];
    EXPECT_EQ(guid.Format, wmaTypeGUID);
    EXPECT_EQ(guid.Stream.size(), 16u);
    EXPECT_EQ(tag.Frames[size_t(tag.GetAttribIndex("WM/Mood"))]->Language, 1);
    EXPECT_FALSE(tag.FrameExists("StreamNote")); // a stream-level record, not a file attribute
    int genres = 0;
    for (int i = 0; i < tag.AttributeCount(); ++i)
        genres += tag.AttributeName(i) == "WM/Genre";
    EXPECT_EQ(genres, 2);

    ASSERT_EQ(tag.CoverArtCount(), 1);
    const int picture = tag.GetAttribIndex("WM/Picture");
    std::vector<uint8_t> data;
    std::string description, mime;
    uint8_t type = 0;
    ASSERT_TRUE(tag.GetCoverArtFromFrame(picture, data, description, type, mime));
    EXPECT_EQ(mime, "image/png");
    EXPECT_EQ(description, "Front");
    EXPECT_EQ(type, 3);
    ASSERT_GE(data.size(), 8u);
    EXPECT_EQ(data[1], 'P');

    // 0.3 s of audio; mutagen reports the same.
    EXPECT_NEAR(double(tag.Duration()) / 1e7, 0.32, 0.001);
    EXPECT_EQ(tag.AudioFormat().FormatTag, 0x161);
    EXPECT_EQ(tag.AudioFormat().Channels, 1);
    EXPECT_EQ(tag.AudioFormat().SamplesPerSec, 8000u);
    EXPECT_EQ(tag.BitRate(), 24000u);
    EXPECT_TRUE(tag.HasAudio());
    EXPECT_FALSE(tag.HasVideo());
    EXPECT_TRUE(tag.Seekable());
    // The stored file size: mutagen left it as ffmpeg wrote it.
    EXPECT_EQ(tag.FileSize(), ReadBytes(Fixture("asf/plain.wma")).size());
}

TEST(WMATag, FixturesThroughTheModel)
{
    const struct {
        const char* File;
        const char* Title;
        const char* Album;
        int Titles, Pictures;
    } cases[] = {
        { "asf/plain.wma", "", "", 0, 0 },
        { "asf/ffmpeg-tagged.wma", "Tone", "Tests", 1, 0 }, // ffmpeg writes the title into both descriptions
        { "asf/mutagen.wma", "Title \xC3\xA9", "Album", 1, 1 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.File);
        TTags tags;
        ASSERT_EQ(tags.LoadFromFile(Fixture(c.File)), tlSuccess);
        EXPECT_TRUE(tags.Loaded);
        EXPECT_EQ(tags.GetTag("TITLE"), c.Title);
        EXPECT_EQ(tags.TypeCount("TITLE"), c.Titles);
        EXPECT_EQ(tags.GetTag("ALBUM"), c.Album);
        EXPECT_EQ(tags.CoverArtCount(), c.Pictures);
        EXPECT_EQ(tags.GetTag("SOFTWARESETTINGS").rfind("Lavf", 0), 0u);
        const TSourceAudioAttributes& audio = *tags.SourceAudioAttributes;
        EXPECT_EQ(audio.Channels(), 1);
        EXPECT_EQ(audio.SamplesPerSec(), 8000u);
        EXPECT_EQ(audio.BitsPerSample(), 16);
        EXPECT_NEAR(audio.PlayTime(), 0.32, 0.001);
    }
}

TEST(WMATag, TitleInBothDescriptionsIsOneFieldAndSavesAsOne)
{
    const auto dir = ScratchDir("WMATag.BothDescriptions");
    const std::string path = ScratchCopy("asf/ffmpeg-tagged.wma", dir);
    {
        TTags tags;
        ASSERT_EQ(tags.LoadFromFile(path), tlSuccess);
        EXPECT_EQ(tags.TypeCount("ARTIST"), 1);
        tags.SetTag("ALBUM", "Changed");
        ASSERT_EQ(tags.SaveToFile(path, ttWMA), tlSuccess);
    }
    TWMATag tag;
    ASSERT_EQ(tag.LoadFromFile(path), wmaSuccess);
    int titles = 0;
    for (const auto& frame : tag.Frames)
        titles += SameTextAscii(frame->Name, "Title");
    EXPECT_EQ(titles, 1);
    TTags back;
    ASSERT_EQ(back.LoadFromFile(path), tlSuccess);
    EXPECT_EQ(back.TypeCount("TITLE"), 1);
    EXPECT_EQ(back.GetTag("TITLE"), "Tone");
    EXPECT_EQ(back.GetTag("ARTIST"), "Maker");
    EXPECT_EQ(back.GetTag("ALBUM"), "Changed");
}

TEST(WMATag, FrameValues)
{
    TWMATagFrame frame;
    frame.SetAsText("3");
    EXPECT_EQ(frame.GetAsInteger(), 3); // WM/Track stored as text
    EXPECT_EQ(frame.Stream, (std::vector<uint8_t> { '3', 0, 0, 0 }));
    frame.SetAsText("x");
    EXPECT_EQ(frame.GetAsInteger(), 0);

    EXPECT_TRUE(frame.SetAsInteger(wmaTypeBool, 7));
    EXPECT_EQ(frame.Stream, (std::vector<uint8_t> { 1, 0, 0, 0 }));
    EXPECT_TRUE(frame.SetAsInteger(wmaTypeQWORD, 0x123456789));
    EXPECT_EQ(frame.GetAsText(), "4886718345");
    EXPECT_FALSE(frame.SetAsInteger(wmaTypeGUID, 1));
    EXPECT_FALSE(frame.SetAsInteger(wmaTypeString, 1));
    frame.Stream.resize(3); // shorter than its type: no value
    EXPECT_EQ(frame.GetAsInteger(), 0);

    frame.SetAsList({ "guitar=Ann", "=nobody", "drums=Bob", "bass= " });
    EXPECT_EQ(frame.GetAsText(), "guitar\r\nAnn\r\n\r\nnobody\r\ndrums\r\nBob\r\nbass\r\n \r\n");
    EXPECT_EQ(frame.GetAsList(), (TNameValueList { "guitar=Ann", "drums=Bob" }));

    TWMATag tag;
    tag.AddText("a", "1");
    tag.AddText("B", "2");
    tag.AddText("A", "3");
    tag.DeleteFrameByName("a");
    ASSERT_EQ(tag.Count(), 1);
    EXPECT_EQ(tag.Frames[0]->Index, 0);
    EXPECT_TRUE(tag.Frames[0]->Delete());
    EXPECT_EQ(tag.Count(), 0);
}

TEST(WMATag, SavingIntoThePaddingLeavesTheRestOfTheFile)
{
    const auto dir = ScratchDir("WMATag.Padding");
    const std::string path = ScratchCopy("asf/mutagen.wma", dir);
    const std::vector<uint8_t> before = ReadBytes(path);
    TWMATag tag;
    ASSERT_EQ(tag.LoadFromFile(path), wmaSuccess);
    tag.SetTextFrameText("Title", "New");
    tag.AddText("WM/Composer", "Someone");
    ASSERT_EQ(tag.SaveToFile(path), wmaSuccess);

    const std::vector<uint8_t> after = ReadBytes(path);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(HeaderSize(after), HeaderSize(before));
    EXPECT_EQ(AfterHeader(after), AfterHeader(before));
    EXPECT_TRUE(Contains(after, Utf16("stream one"))); // the stream-level record stays

    TWMATag back;
    ASSERT_EQ(back.LoadFromFile(path), wmaSuccess);
    EXPECT_EQ(back.ReadFrameByNameAsText("Title"), "New");
    EXPECT_EQ(back.ReadFrameByNameAsText("WM/Composer"), "Someone");
    EXPECT_EQ(back.Count(), tag.Count());
    EXPECT_EQ(back.ReadAsInteger("WM/Playcount"), 5000000000);
    EXPECT_EQ(back.Frames[size_t(back.GetAttribIndex("WM/Mood"))]->Language, 1);
    EXPECT_EQ(back.CoverArtCount(), 1);
}

TEST(WMATag, AHeaderThatOutgrowsItsPlaceIsWrittenAnew)
{
    const auto dir = ScratchDir("WMATag.Rewrite");
    const std::string path = ScratchCopy("asf/plain.wma", dir);
    const std::vector<uint8_t> before = ReadBytes(path);
    ASSERT_EQ(Find(AllObjects(before), asf::PaddingObject), nullptr);

    TWMATag tag;
    ASSERT_EQ(tag.LoadFromFile(path), wmaSuccess);
    tag.AddText("Title", "Grown");
    tag.PaddingToWrite = 1000;
    ASSERT_EQ(tag.SaveToFile(path), wmaSuccess);
    const std::vector<uint8_t> grown = ReadBytes(path);
    EXPECT_EQ(AfterHeader(grown), AfterHeader(before));
    const auto objects = AllObjects(grown);
    const TASFObject* padding = Find(objects, asf::PaddingObject);
    ASSERT_NE(padding, nullptr);
    EXPECT_EQ(padding->Body.size(), 1000u);
    // The file properties follow the new size.
    EXPECT_EQ(GetLE64(Find(objects, asf::FilePropertiesObject)->Body.data() + 16), grown.size());

    // The next save fits into the padding.
    ASSERT_EQ(tag.LoadFromFile(path), wmaSuccess);
    EXPECT_EQ(tag.ReadFrameByNameAsText("Title"), "Grown");
    tag.SetTextFrameText("Title", "Grown further");
    ASSERT_EQ(tag.SaveToFile(path), wmaSuccess);
    EXPECT_EQ(ReadBytes(path).size(), grown.size());

    // A header that shrinks by less than a padding object's own header is written anew.
    ASSERT_EQ(tag.LoadFromFile(path), wmaSuccess);
    TMemoryStream stream(ReadBytes(path));
    tag.PaddingToWrite = 0;
    tag.AddText("WM/Composer", std::string(((stream.Size() - HeaderSize(stream.Bytes())) % 7) + 480, 'c'));
    ASSERT_EQ(tag.SaveToStream(stream), wmaSuccess);
    EXPECT_EQ(AfterHeader(stream.Bytes()), AfterHeader(before));
}

TEST(WMATag, WhereASaveStoresEachAttribute)
{
    TMemoryStream stream(ReadBytes(Fixture("asf/plain.wma")));
    TWMATag tag;
    ASSERT_EQ(tag.LoadFromStream(stream), wmaSuccess);
    tag.DeleteAllFrames();
    tag.AddText("TITLE", "In the description");        // any case
    tag.AddText("Title", "Second title");              // the slot is taken
    tag.AddText("WM/Lyrics", std::string(40000, 'l')); // 80000 bytes as UTF-16
    tag.SetAsInteger("WM/SharedUserRating", wmaTypeDWORD, 50);
    tag.SetAsInteger("WM/IsCompilation", wmaTypeBool, 1);
    TWMATagFrame* guid = tag.AddFrame("WM/WMCollectionID");
    guid->Format = wmaTypeGUID;
    guid->Stream.assign(16, 0xAA);
    tag.AddText("WM/Genre", "Jazz");
    tag.AddText("wm/genre", "Blues");
    tag.AddFrame("WM/Mood")->SetAsText("calm");
    tag.Frames.back()->Language = 2;
    tag.AddText("WM/Empty", "");
    TNativePicture picture;
    picture.MIMEType = "image/jpeg";
    picture.Data.assign(70000, 0xFF); // too large for the extended description
    tag.AddPicture(picture);
    ASSERT_EQ(tag.SaveToStream(stream), wmaSuccess);

    const auto objects = AllObjects(stream.Bytes());
    const TASFObject* description = Find(objects, asf::ContentDescriptionObject);
    const TASFObject* extended = Find(objects, asf::ExtendedContentDescriptionObject);
    const TASFObject* library = Find(objects, asf::MetadataLibraryObject);
    ASSERT_TRUE(description && extended && library);
    EXPECT_TRUE(Contains(description->Body, Utf16("In the description")));
    for (const char* name : { "Second title", "WM/SharedUserRating", "WM/IsCompilation", "Jazz" })
        EXPECT_TRUE(Contains(extended->Body, Utf16(name))) << name;
    std::vector<TASFMetadataRecord> records;
    ASSERT_TRUE(ReadMetadataRecords(library->Body, records));
    std::vector<std::string> names;
    for (const auto& r : records)
        names.push_back(Utf16ToUtf8(r.Name.data(), r.Name.size() - 2, false));
    EXPECT_EQ(
        names, (std::vector<std::string> { "WM/Lyrics", "WM/WMCollectionID", "wm/genre", "WM/Mood", "WM/Picture" }));
    EXPECT_EQ(records[3].Language, 2);
    EXPECT_FALSE(Contains(stream.Bytes(), Utf16("WM/Empty")));

    TWMATag back;
    ASSERT_EQ(back.LoadFromStream(stream), wmaSuccess);
    EXPECT_EQ(back.Count(), tag.Count() - 1);
    EXPECT_EQ(back.ReadFrameByNameAsText("WM/Lyrics").size(), 40000u);
    EXPECT_EQ(back.Frames[size_t(back.GetAttribIndex("WM/WMCollectionID"))]->Stream, guid->Stream);
    EXPECT_EQ(back.ReadAsInteger("WM/IsCompilation"), 1);
    ASSERT_EQ(back.CoverArtCount(), 1);
    EXPECT_EQ(back.AttributePicture(back.GetAttribIndex("WM/Picture")).Data.size(), 70000u);

    // Nothing left: the attribute objects go.
    back.DeleteAllFrames();
    ASSERT_EQ(back.SaveToStream(stream), wmaSuccess);
    const auto empty = AllObjects(stream.Bytes());
    EXPECT_EQ(Find(empty, asf::ContentDescriptionObject), nullptr);
    EXPECT_EQ(Find(empty, asf::ExtendedContentDescriptionObject), nullptr);
    EXPECT_EQ(Find(empty, asf::MetadataLibraryObject), nullptr);
    EXPECT_EQ(back.LoadFromStream(stream), wmaSuccess);
    EXPECT_EQ(back.Count(), 0);
}

TEST(WMATag, DamagedHeadersAreRefusedPromptlyAndLeftAlone)
{
    const std::vector<uint8_t> good = ReadBytes(Fixture("asf/plain.wma"));
    auto with = [&](size_t offset, std::vector<uint8_t> bytes) {
        std::vector<uint8_t> file = good;
        std::copy(bytes.begin(), bytes.end(), file.begin() + ptrdiff_t(offset));
        return file;
    };
    const struct {
        const char* Case;
        std::vector<uint8_t> File;
        int Result;
    } cases[] = {
        { "four billion objects", with(24, { 0x00, 0x28, 0x6B, 0xEE }), wmaCorrupt },
        { "one object too many", with(24, { uint8_t(good[24] + 1) }), wmaCorrupt },
        { "one object too few", with(24, { uint8_t(good[24] - 1) }), wmaCorrupt },
        { "header larger than the file", with(16, { 0, 0, 0, 0, 0, 0, 0, 0x40 }), wmaCorrupt },
        { "header smaller than itself", with(16, { 29, 0, 0, 0, 0, 0, 0, 0 }), wmaCorrupt },
        { "object running past the header", with(30 + 16, { 0xFF, 0xFF, 0, 0, 0, 0, 0, 0 }), wmaCorrupt },
        { "object smaller than its header", with(30 + 16, { 23, 0, 0, 0, 0, 0, 0, 0 }), wmaCorrupt },
        { "not ASF", with(0, { 'R', 'I', 'F', 'F' }), wmaNotASF },
        { "too short", std::vector<uint8_t>(good.begin(), good.begin() + 29), wmaNotASF },
        { "empty", {}, wmaNotASF },
    };
    for (const auto& c : cases)
        for (bool defer : { false, true }) {
            SCOPED_TRACE(std::string(c.Case) + (defer ? ", pictures deferred" : ""));
            TMemoryStream stream(c.File);
            TWMATag tag;
            tag.DeferPictureData = defer;
            const auto start = std::chrono::steady_clock::now();
            EXPECT_EQ(tag.LoadFromStream(stream), c.Result);
            EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
            EXPECT_EQ(tag.Count(), 0);
            tag.AddText("Title", "x");
            EXPECT_EQ(tag.SaveToStream(stream), c.Result);
            EXPECT_EQ(stream.Bytes(), c.File);
        }

    // A damaged attribute object: the attributes before the damage are read.
    TMemoryStream stream(good);
    TWMATag tag;
    tag.AddText("First", "1");
    tag.AddText("Second", "2");
    ASSERT_EQ(tag.SaveToStream(stream), wmaSuccess);
    std::vector<uint8_t> file = stream.Bytes();
    const auto at = std::search(file.begin(), file.end(), asf::ExtendedContentDescriptionObject.Bytes.begin(),
        asf::ExtendedContentDescriptionObject.Bytes.end());
    ASSERT_NE(at, file.end());
    PutLE16(&*at + 24, 3); // three descriptors announced, two there
    TMemoryStream damaged(file);
    ASSERT_EQ(tag.LoadFromStream(damaged), wmaCorrupt);
    EXPECT_TRUE(tag.Loaded());
    EXPECT_GE(tag.Count(), 2);
    EXPECT_EQ(tag.ReadFrameByNameAsText("Second"), "2");
}

// Counts the bytes read through it.
class TCountingView final : public TStream {
public:
    explicit TCountingView(const std::vector<uint8_t>& bytes)
        : FView(bytes.data(), bytes.size())
    {
    }
    uint64_t BytesRead = 0;
    uint64_t Size() const override { return FView.Size(); }
    uint64_t Position() const override { return FView.Position(); }
    bool Seek(uint64_t position) override { return FView.Seek(position); }
    size_t Read(void* buffer, size_t count) override
    {
        const size_t read = FView.Read(buffer, count);
        BytesRead += read;
        return read;
    }
    bool Write(const void*, size_t) override { return false; }
    bool Truncate(uint64_t) override { return false; }
    bool Replace(uint64_t, uint64_t, const void*, size_t) override { return false; }

private:
    TMemoryView FView;
};

// A load with deferred pictures reads the attributes an eager load reads, except the bytes of
// large pictures, which it knows by type, MIME type, description, size and place; fetched,
// they are what the eager load read. A picture far larger than the header's other objects is
// not even read.
TEST(WMATag, DeferredLoadsLeaveLargePicturesInTheFile)
{
    std::vector<uint8_t> huge = ReadBytes(Fixture("asf/mutagen.wma"));
    {
        TMemoryStream stream(huge);
        TWMATag tag;
        ASSERT_EQ(tag.LoadFromStream(stream), wmaSuccess);
        TNativePicture picture;
        picture.MIMEType = "image/jpeg";
        picture.Description = "Back";
        picture.Data.assign(500000, 0xD8);
        tag.AddPicture(picture);
        ASSERT_EQ(tag.SaveToStream(stream), wmaSuccess);
        huge = stream.Bytes();
    }
    for (const char* fixture : { "plain.wma", "ffmpeg-tagged.wma", "mutagen.wma", "picture-cover.wma", "" }) {
        SCOPED_TRACE(fixture);
        const std::vector<uint8_t> file = *fixture ? ReadBytes(Fixture(std::string("asf/") + fixture)) : huge;
        TMemoryView view(file.data(), file.size());
        TWMATag eager;
        ASSERT_EQ(eager.LoadFromStream(view), wmaSuccess);
        TCountingView counted(file);
        TWMATag deferred;
        deferred.DeferPictureData = true;
        ASSERT_EQ(deferred.LoadFromStream(counted), wmaSuccess);
        EXPECT_EQ(deferred.HasDeferredPictures(), !*fixture || std::string(fixture) == "picture-cover.wma");
        EXPECT_EQ(deferred.CoverArtCount(), eager.CoverArtCount());
        if (!*fixture) {
            EXPECT_LT(counted.BytesRead, 100000u) << "the large picture was not read";
        }
        if (std::string(fixture) == "picture-cover.wma") {
            const int index = deferred.GetAttribIndex("WM/Picture");
            ASSERT_GE(index, 0);
            const TNativePicture head = deferred.AttributePicture(index);
            const TNativePicture whole = eager.AttributePicture(index);
            EXPECT_EQ(head.DeferredSize, whole.Data.size());
            EXPECT_EQ(head.DeferredSize, 3008u);
            EXPECT_EQ(head.MIMEType, "image/png");
            EXPECT_EQ(head.Description, "Front");
            EXPECT_EQ(head.CoverType, 3u);
            EXPECT_TRUE(std::equal(head.Data.begin(), head.Data.end(), whole.Data.begin()));
            EXPECT_EQ(std::vector<uint8_t>(file.begin() + ptrdiff_t(head.DeferredOffset),
                          file.begin() + ptrdiff_t(head.DeferredOffset + head.DeferredSize)),
                whole.Data);
            EXPECT_EQ(deferred.CalculateTagSize(), eager.CalculateTagSize());
        }
        ASSERT_TRUE(deferred.LoadDeferredPictures(view));
        ASSERT_EQ(deferred.Count(), eager.Count());
        for (int i = 0; i < eager.Count(); ++i) {
            EXPECT_EQ(deferred.Frames[size_t(i)]->Name, eager.Frames[size_t(i)]->Name);
            EXPECT_EQ(deferred.Frames[size_t(i)]->Stream, eager.Frames[size_t(i)]->Stream) << i;
            EXPECT_EQ(deferred.Frames[size_t(i)]->Language, eager.Frames[size_t(i)]->Language);
        }
    }
}

// A deferred picture is saved byte for byte, fetched from the file it was loaded from, whether
// the header fits its place or is written anew; a file that no longer holds it is not written.
TEST(WMATag, SavesKeepDeferredPicturesWhole)
{
    const auto dir = ScratchDir("WMADeferredSave");
    const std::string path = ScratchCopy("asf/picture-cover.wma", dir);
    const std::vector<uint8_t> original = ReadBytes(path);
    std::vector<uint8_t> picture;
    {
        TWMATag eager;
        ASSERT_EQ(eager.LoadFromFile(path), wmaSuccess);
        picture = eager.AttributePicture(eager.GetAttribIndex("WM/Picture")).Data;
    }
    for (size_t title : { 10, 70000 }) {
        SCOPED_TRACE(title);
        WriteBytes(path, original);
        TWMATag tag;
        tag.DeferPictureData = true;
        ASSERT_EQ(tag.LoadFromFile(path), wmaSuccess);
        tag.SetTextFrameText("Title", std::string(title, 't'));
        ASSERT_EQ(tag.SaveToFile(path), wmaSuccess);
        TWMATag back;
        ASSERT_EQ(back.LoadFromFile(path), wmaSuccess);
        EXPECT_EQ(back.ReadFrameByNameAsText("Title"), std::string(title, 't'));
        ASSERT_EQ(back.CoverArtCount(), 1);
        EXPECT_EQ(back.AttributePicture(back.GetAttribIndex("WM/Picture")).Data, picture);
        EXPECT_EQ(AfterHeader(ReadBytes(path)), AfterHeader(original));
    }

    WriteBytes(path, original);
    TWMATag tag;
    tag.DeferPictureData = true;
    ASSERT_EQ(tag.LoadFromFile(path), wmaSuccess);
    std::vector<uint8_t> changed = original;
    changed[size_t(tag.Frames[size_t(tag.GetAttribIndex("WM/Picture"))]->ValueOffset) + 1] ^= 0xFF;
    WriteBytes(path, changed);
    tag.SetTextFrameText("Title", "lost");
    EXPECT_NE(tag.SaveToFile(path), wmaSuccess);
    EXPECT_EQ(ReadBytes(path), changed);
}

TEST(WMATag, MissingAndUnwritableFiles)
{
    const auto dir = ScratchDir("WMATag.Files");
    TWMATag tag;
    EXPECT_EQ(tag.LoadFromFile((dir / "missing.wma").string()), wmaFileNotFound);
    EXPECT_EQ(tag.SaveToFile((dir / "missing.wma").string()), wmaFileNotFound);
    EXPECT_FALSE(std::filesystem::exists(dir / "missing.wma"));
    TMemoryView readOnly(nullptr, 0);
    EXPECT_EQ(tag.SaveToStream(readOnly), wmaNotASF);
    const std::vector<uint8_t> good = ReadBytes(Fixture("asf/plain.wma"));
    TMemoryView view(good.data(), good.size());
    tag.AddText("Title", "x");
    EXPECT_EQ(tag.SaveToStream(view), wmaWriteFailed);
}

TEST(WMATag, UnifiedModel)
{
    const auto dir = ScratchDir("WMATag.Model");
    const std::string path = ScratchCopy("asf/mutagen.wma", dir, "song.wma");
    TTags tags;
    ASSERT_EQ(tags.LoadFromFile(path), tlSuccess);
    ASSERT_TRUE(tags.IsLoaded(ttWMA));
    EXPECT_EQ(tags.GetTag("TITLE"), "Title \xC3\xA9");
    EXPECT_EQ(tags.GetTag("ARTIST"), "Artist");
    EXPECT_EQ(tags.GetTag("ALBUM"), "Album");
    EXPECT_EQ(tags.GetTag("TRACKNUMBER"), "3"); // WM/Track 2 counts from 0
    EXPECT_EQ(tags.GetTag("COMMENT"), "First line\r\nSecond line");
    EXPECT_EQ(tags.TypeCount("GENRE"), 2);
    ASSERT_EQ(tags.CoverArtCount(), 1);
    EXPECT_EQ(tags.CoverArts[0]->Name, "Cover art 1");
    EXPECT_EQ(tags.CoverArts[0]->MIMEType, "image/png");
    EXPECT_EQ(tags.CoverArts[0]->Description, "Front");
    EXPECT_EQ(tags.CoverArts[0]->PictureFormat, tpfPNG);
    EXPECT_EQ(tags.SourceAudioAttributes->BitRate(), 24u);
    EXPECT_EQ(tags.SourceAudioAttributes->SampleCount(), 2560u);

    tags.SetTag("TRACKNUMBER", "5");
    tags.SetTag("ALBUM", "");   // an empty value is not written
    tags.SetTag("CUSTOM", "x"); // no attribute name: not written
    tags.DeleteAllCoverArts();
    ASSERT_EQ(tags.SaveToFile(path, ttAutomatic), tlSuccess);
    EXPECT_EQ(tags.SaveToStream(*std::make_unique<TMemoryStream>(), ttWMA), tlNotSupported);

    TWMATag tag;
    ASSERT_EQ(tag.LoadFromFile(path), wmaSuccess);
    EXPECT_EQ(tag.ReadAsInteger("WM/Track"), 4);
    EXPECT_EQ(tag.ReadFrameByNameAsText("WM/TrackNumber"), "5");
    EXPECT_FALSE(tag.FrameExists("WM/AlbumTitle"));
    EXPECT_FALSE(tag.FrameExists("CUSTOM"));
    EXPECT_EQ(tag.CoverArtCount(), 0);
    EXPECT_EQ(tag.ReadAsInteger("WM/Playcount"), 5000000000); // unmapped attributes stay

    // Result codes reach the model translated.
    TTags other;
    const std::string text = (dir / "text.wma").string();
    WriteBytes(text, Bytes("not an ASF file at all, but named like one"));
    other.LoadFromFile(text);
    other.SetTag("TITLE", "x");
    EXPECT_EQ(other.SaveToFile(text, ttWMA), tlWMAHeaderInfoMissing);
    EXPECT_EQ(other.SaveToFile((dir / "gone.wma").string(), ttWMA), tlFileNotFound);
}

} // namespace
} // namespace vantor
