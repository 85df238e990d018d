#pragma once
// The WMA/ASF attributes as the unified model sees them. Attribute names compare
// ASCII-case-insensitively. WMA has no stream save.

#include "tags/NativeTag.h"

namespace vantor {

class TWMATagBase : public TNativeTag {
public:
    // Loading keeps only the first bytes of large pictures (see TNativePicture::DeferredSize).
    bool DeferPictureData = false;

    virtual int AttributeCount() const = 0;
    virtual std::string AttributeName(int index) const = 0;
    virtual std::string AttributeText(int index) const = 0;
    virtual int64_t AttributeInteger(int index) const = 0;
    virtual TNameValueList AttributeList(int index) const = 0;
    virtual bool AttributeIsPicture(int index) const = 0;
    virtual TNativePicture AttributePicture(int index) const = 0;
    virtual void DeleteAttributes(const std::string& name) = 0;
    virtual void AddText(const std::string& name, const std::string& text) = 0;
    virtual void AddInteger(const std::string& name, uint32_t value) = 0;
    virtual void AddList(const std::string& name, const TNameValueList& list) = 0;
    virtual void DeleteAllPictures() = 0;
    virtual void AddPicture(const TNativePicture& picture) = 0;
};

} // namespace vantor
