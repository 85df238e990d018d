#pragma once
// The MP4 item list as the unified model sees it. Item ids are 4 bytes ("©" is
// the byte 0xA9); free-form items have the id "----" with a mean and a name.

#include "tags/NativeTag.h"

namespace vantor {

class TMP4TagBase : public TNativeTag {
public:
    bool KeepPadding = true;
    uint32_t PaddingToWrite = 4096;
    // Loading keeps only the first bytes of large covers (see CoverPlace).
    bool DeferPictureData = false;

    virtual int ItemCount() const = 0;
    virtual std::string ItemID(int index) const = 0;
    // Text of a text value, else the decimal form of an integer value.
    virtual std::string ItemText(int index) const = 0;
    virtual TNameValueList ItemList(int index) const = 0;
    virtual std::string ItemMean(int index) const = 0;
    virtual std::string ItemName(int index) const = 0;
    virtual void DeleteItem(int index) = 0;
    // Every item with the id.
    virtual void DeleteItems(const std::string& id) = 0;

    // Setters act on the first item with the id, adding one when there is none.
    virtual void SetText(const std::string& id, const std::string& text) = 0;
    // Deletes the items with the id, then adds one item per value.
    virtual void SetTexts(const std::string& id, const std::vector<std::string>& values) = 0;
    virtual void SetBool(const std::string& id, bool value) = 0;
    virtual void SetInteger8(const std::string& id, uint8_t value) = 0;
    virtual void SetInteger16(const std::string& id, uint16_t value) = 0;
    virtual void SetInteger32(const std::string& id, uint32_t value) = 0;
    virtual void SetFreeFormText(const std::string& mean, const std::string& name, const std::string& text) = 0;
    virtual void SetFreeFormList(const std::string& mean, const std::string& name, const TNameValueList& list) = 0;

    virtual std::string Genre() const = 0;
    virtual std::string MediaType() const = 0;
    virtual std::string PurchaseCountry() const = 0;
    virtual void SetGenre(const std::string& genre) = 0;
    virtual void SetMediaType(const std::string& media) = 0;
    virtual void SetPurchaseCountry(const std::string& country) = 0;
    virtual void GetTrack(uint16_t& track, uint16_t& total) const = 0;
    virtual void GetDisc(uint16_t& disc, uint16_t& total) const = 0;
    virtual void SetTrack(uint16_t track, uint16_t total) = 0;
    virtual void SetDisc(uint16_t disc, uint16_t total) = 0;

    // The data items of the "covr" item.
    virtual int CoverCount() const = 0;
    virtual std::vector<uint8_t> Cover(int index) const = 0;
    // True for a deferred cover, whose Cover holds only the first bytes: the whole cover is
    // size bytes at offset of the loaded file.
    virtual bool CoverPlace(int index, uint64_t& offset, uint64_t& size) const = 0;
    virtual void DeleteCovers() = 0;
    virtual void AddCover(const std::vector<uint8_t>& data, uint32_t dataType) = 0;
};

} // namespace vantor
