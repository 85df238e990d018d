// Vorbis comments of FLAC and Ogg ↔ unified fields (comment names, no mapping).

#include "tags/Tags.h"

#include "tags/VorbisCommentTagBase.h"
#include "tags/io/TextCodec.h"

namespace vantor {

namespace {

bool IsListName(const std::string& name) { return SameTextAscii(name, "TIPL") || SameTextAscii(name, "TMCL"); }

// The bytes are moved: a 100 KB cover is not copied once more on every load. A deferred
// picture stays in fileName, the file loaded.
void TakePicture(TNativePicture&& from, TCoverArt& to, const std::string& fileName)
{
    to.PictureFormat = PictureFormatFromBytes(from.Data.data(), from.Data.size());
    if (from.DeferredSize != 0) {
        to.DeferredFile = fileName;
        to.DeferredOffset = from.DeferredOffset;
        to.DeferredSize = from.DeferredSize;
        to.DeferredTextSize = from.DeferredTextSize;
    } else {
        to.Stream.Bytes() = std::move(from.Data);
    }
    to.CoverType = from.CoverType;
    to.MIMEType = from.MIMEType;
    to.Description = from.Description;
    to.Width = from.Width;
    to.Height = from.Height;
    to.ColorDepth = from.ColorDepth;
    to.NoOfColors = from.NoOfColors;
}

// FLAC names its pictures by ordinal, Ogg after their comment.
void LoadComments(TTags& tags, const TVorbisCommentTagBase& tag, bool namedByOrdinal)
{
    for (int i = 0; i < tag.CommentCount(); ++i)
        if (tag.CommentIsText(i))
            tags.RemoveFieldsNamed(tag.CommentName(i));
    if (tag.PictureCount() > 0)
        tags.DeleteAllCoverArts();

    for (int i = 0; i < tag.CommentCount(); ++i) {
        if (!tag.CommentIsText(i))
            continue;
        const std::string name = tag.CommentName(i);
        const std::string text = tag.CommentText(i);
        const bool track = SameTextAscii(name, "TRACKNUMBER") || SameTextAscii(name, "TRACK");
        if (track && text.find('/') != std::string::npos)
            tags.AddNumberAndTotal("TRACKNUMBER", "TOTALTRACKS", text);
        else if (IsListName(name))
            tags.AddField(name, JoinTextLines(tag.CommentList(i)));
        else
            tags.AddField(name, text);
    }
    for (int i = 0; i < tag.PictureCount(); ++i) {
        TNativePicture picture = tag.Picture(i);
        const std::string name = namedByOrdinal ? "Cover art " + std::to_string(i + 1) : picture.Name;
        if (TCoverArt* cover = tags.AddCoverArt(name))
            TakePicture(std::move(picture), *cover, tags.FileName);
    }
}

void SaveComments(TTags& tags, TVorbisCommentTagBase& tag)
{
    tag.UpperCaseFieldNamesToWrite = tags.UpperCaseFieldNamesToWrite;
    tag.PaddingSizeToWrite = tags.PaddingSizeToWrite;
    for (const auto& field : tags.Tags)
        for (int i = tag.CommentCount() - 1; i >= 0; --i)
            if (tag.CommentIsText(i) && SameTextAscii(tag.CommentName(i), field->Name))
                tag.DeleteComment(i);
    for (const auto& field : tags.Tags) {
        if (IsListName(field->Name)) {
            // Lists load as "role=person" lines and go back the same way.
            tag.AddListComment(field->Name, SplitTextLines(field->Value));
        } else {
            tag.AddTextComment(field->Name, field->Value);
        }
    }
    tag.DeleteAllPictures();
    for (const auto& cover : tags.CoverArts) {
        TNativePicture picture;
        picture.Name = cover->Name;
        picture.CoverType = cover->CoverType;
        picture.MIMEType = cover->MIMEType;
        picture.Description = cover->Description;
        picture.Width = cover->Width;
        picture.Height = cover->Height;
        picture.ColorDepth = cover->ColorDepth;
        picture.NoOfColors = cover->NoOfColors;
        picture.Data = cover->Stream.Bytes();
        tag.AddPicture(picture);
    }
}

} // namespace

void TTags::LoadFlacTags()
{
    if (FlacTag)
        LoadComments(*this, *FlacTag, true);
}

void TTags::LoadOggVorbisAndOpusTags()
{
    if (OggVorbisAndOpusTag)
        LoadComments(*this, *OggVorbisAndOpusTag, false);
}

int TTags::SaveFlacTag(const std::string& fileName, TStream* stream)
{
    if (!FlacTag)
        return FormatErrorCode;
    SaveComments(*this, *FlacTag);
    return stream ? FlacTag->SaveToStream(*stream) : FlacTag->SaveToFile(fileName);
}

int TTags::SaveOggVorbisAndOpusTag(const std::string& fileName, TStream* stream)
{
    if (!OggVorbisAndOpusTag)
        return FormatErrorCode;
    SaveComments(*this, *OggVorbisAndOpusTag);
    return stream ? OggVorbisAndOpusTag->SaveToStream(*stream) : OggVorbisAndOpusTag->SaveToFile(fileName);
}

} // namespace vantor
