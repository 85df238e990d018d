#pragma once
// The comment list of FLAC and of Ogg Vorbis/Opus/Theora as the unified model
// sees it. Comment names compare ASCII-case-insensitively.

#include "tags/FormatDetection.h"
#include "tags/NativeTag.h"

namespace vantor {

class TVorbisCommentTagBase : public TNativeTag {
public:
    bool UpperCaseFieldNamesToWrite = true;
    uint32_t PaddingSizeToWrite = 4096;
    // Loading keeps only the first bytes of large pictures (see TNativePicture::DeferredSize);
    // a format that cannot leaves them whole.
    bool DeferPictureData = false;

    virtual int CommentCount() const = 0;
    virtual std::string CommentName(int index) const = 0;
    // A text comment (pictures and binary values are not).
    virtual bool CommentIsText(int index) const = 0;
    virtual std::string CommentText(int index) const = 0;
    // The "name=value" entries of a comment that holds a list.
    virtual TNameValueList CommentList(int index) const = 0;
    virtual void DeleteComment(int index) = 0;
    virtual void AddTextComment(const std::string& name, const std::string& text) = 0;
    virtual void AddListComment(const std::string& name, const TNameValueList& list) = 0;

    // FLAC: the PICTURE blocks; Ogg: the picture comments in comment order.
    virtual int PictureCount() const = 0;
    virtual TNativePicture Picture(int index) const = 0;
    virtual void DeleteAllPictures() = 0;
    virtual void AddPicture(const TNativePicture& picture) = 0;
};

class TFlacTagBase : public TVorbisCommentTagBase { };

class TOggTagBase : public TVorbisCommentTagBase {
public:
    bool ParsePlayTime = false;
    // afOpus, afOggVorbis or afOggTheora for the loaded stream, else afUnknown.
    virtual TAudioFormat StreamFormat() const = 0;
};

} // namespace vantor
