#pragma once
// In-memory format objects behind the native interfaces, so the field mapping of
// formats can be tested on its own.

#include "tags/MP4TagBase.h"
#include "tags/VorbisCommentTagBase.h"
#include "tags/WAVTagBase.h"
#include "tags/WMATagBase.h"
#include "tags/io/TextCodec.h"

#include <algorithm>

namespace vantor::test {

// The parts every fake shares: a loaded flag and save counting.
template <typename Base>
class TFakeNative : public Base {
public:
    bool IsLoadedFlag = false;
    int Saves = 0;
    bool Loaded() const override { return IsLoadedFlag; }
    int LoadFromFile(const std::string&) override { return 1; }
    int LoadFromStream(TStream&) override { return 1; }
    int SaveToFile(const std::string&) override
    {
        ++Saves;
        return 0;
    }
    int SaveToStream(TStream&) override
    {
        ++Saves;
        return 0;
    }
    uint64_t TagSize() const override { return 100; }
    bool Assign(const TNativeTag&) override { return false; }
};

struct TFakeComment {
    std::string Name, Text;
    TNameValueList List;
};

template <typename Base>
class TFakeComments : public TFakeNative<Base> {
public:
    std::vector<TFakeComment> Comments;
    std::vector<TNativePicture> Pictures;
    void Clear() override
    {
        Comments.clear();
        Pictures.clear();
        this->IsLoadedFlag = false;
    }
    int CommentCount() const override { return int(Comments.size()); }
    std::string CommentName(int i) const override { return Comments[size_t(i)].Name; }
    bool CommentIsText(int) const override { return true; }
    std::string CommentText(int i) const override { return Comments[size_t(i)].Text; }
    TNameValueList CommentList(int i) const override { return Comments[size_t(i)].List; }
    void DeleteComment(int i) override { Comments.erase(Comments.begin() + i); }
    void AddTextComment(const std::string& n, const std::string& t) override { Comments.push_back({ n, t, {} }); }
    void AddListComment(const std::string& n, const TNameValueList& l) override { Comments.push_back({ n, "", l }); }
    int PictureCount() const override { return int(Pictures.size()); }
    TNativePicture Picture(int i) const override { return Pictures[size_t(i)]; }
    void DeleteAllPictures() override { Pictures.clear(); }
    void AddPicture(const TNativePicture& p) override { Pictures.push_back(p); }
};

using TFakeFlac = TFakeComments<TFlacTagBase>;

class TFakeOgg : public TFakeComments<TOggTagBase> {
public:
    TAudioFormat StreamFormat() const override { return afOggVorbis; }
};

struct TFakeItem {
    TFakeItem(std::string id = "", std::string text = "", std::string mean = "", std::string name = "",
        TNameValueList list = {}, std::string kind = "text")
        : ID(std::move(id))
        , Text(std::move(text))
        , Mean(std::move(mean))
        , Name(std::move(name))
        , List(std::move(list))
        , Kind(std::move(kind))
    {
    }
    std::string ID, Text, Mean, Name;
    TNameValueList List;
    std::string Kind; // text, texts, bool, int8, int16, int32, freeform
};

class TFakeMP4 : public TFakeNative<TMP4TagBase> {
public:
    std::vector<TFakeItem> Items;
    std::vector<std::vector<uint8_t>> Covers;
    std::vector<uint32_t> CoverTypes;
    std::string FGenre, FMedia, FCountry;
    uint16_t FTrack = 0, FTracks = 0, FDisc = 0, FDiscs = 0;

    void Clear() override { *this = TFakeMP4(); }
    int ItemCount() const override { return int(Items.size()); }
    std::string ItemID(int i) const override { return Items[size_t(i)].ID; }
    std::string ItemText(int i) const override { return Items[size_t(i)].Text; }
    TNameValueList ItemList(int i) const override { return Items[size_t(i)].List; }
    std::string ItemMean(int i) const override { return Items[size_t(i)].Mean; }
    std::string ItemName(int i) const override { return Items[size_t(i)].Name; }
    void DeleteItem(int i) override { Items.erase(Items.begin() + i); }
    void DeleteItems(const std::string& id) override
    {
        Items.erase(
            std::remove_if(Items.begin(), Items.end(), [&](const TFakeItem& it) { return it.ID == id; }), Items.end());
    }
    void DeleteFreeForm(const std::string& mean, const std::string& name)
    {
        Items.erase(std::remove_if(Items.begin(), Items.end(),
                        [&](const TFakeItem& it) { return it.ID == "----" && it.Mean == mean && it.Name == name; }),
            Items.end());
    }
    TFakeItem& First(const std::string& id)
    {
        for (auto& it : Items)
            if (it.ID == id)
                return it;
        Items.push_back({ id, "", "", "", {} });
        return Items.back();
    }
    void SetText(const std::string& id, const std::string& t) override
    {
        First(id).Text = t;
        First(id).Kind = "text";
    }
    void SetTexts(const std::string& id, const std::vector<std::string>& values) override
    {
        DeleteItems(id);
        for (const auto& v : values)
            Items.push_back({ id, v, "", "", {}, "texts" });
    }
    void SetBool(const std::string& id, bool v) override
    {
        First(id).Text = v ? "1" : "0";
        First(id).Kind = "bool";
    }
    void SetInteger8(const std::string& id, uint8_t v) override
    {
        First(id).Text = std::to_string(v);
        First(id).Kind = "int8";
    }
    void SetInteger16(const std::string& id, uint16_t v) override
    {
        First(id).Text = std::to_string(v);
        First(id).Kind = "int16";
    }
    void SetInteger32(const std::string& id, uint32_t v) override
    {
        First(id).Text = std::to_string(v);
        First(id).Kind = "int32";
    }
    void SetFreeFormText(const std::string& mean, const std::string& name, const std::string& t) override
    {
        DeleteFreeForm(mean, name);
        Items.push_back({ "----", t, mean, name, {}, "freeform" });
    }
    void SetFreeFormList(const std::string& mean, const std::string& name, const TNameValueList& l) override
    {
        DeleteFreeForm(mean, name);
        Items.push_back({ "----", "", mean, name, l, "freeform" });
    }
    std::string Genre() const override { return FGenre; }
    std::string MediaType() const override { return FMedia; }
    std::string PurchaseCountry() const override { return FCountry; }
    void SetGenre(const std::string& g) override { FGenre = g; }
    void SetMediaType(const std::string& m) override { FMedia = m; }
    void SetPurchaseCountry(const std::string& c) override { FCountry = c; }
    void GetTrack(uint16_t& t, uint16_t& n) const override
    {
        t = FTrack;
        n = FTracks;
    }
    void GetDisc(uint16_t& d, uint16_t& n) const override
    {
        d = FDisc;
        n = FDiscs;
    }
    void SetTrack(uint16_t t, uint16_t n) override
    {
        FTrack = t;
        FTracks = n;
    }
    void SetDisc(uint16_t d, uint16_t n) override
    {
        FDisc = d;
        FDiscs = n;
    }
    int CoverCount() const override { return int(Covers.size()); }
    std::vector<uint8_t> Cover(int i) const override { return Covers[size_t(i)]; }
    bool CoverPlace(int, uint64_t&, uint64_t&) const override { return false; }
    void DeleteCovers() override
    {
        Covers.clear();
        CoverTypes.clear();
    }
    void AddCover(const std::vector<uint8_t>& data, uint32_t type) override
    {
        Covers.push_back(data);
        CoverTypes.push_back(type);
    }
};

struct TFakeFrame {
    std::string ID, Text;
    TNameValueList List;
};

class TFakeWAV : public TFakeNative<TWAVTagBase> {
public:
    std::vector<TFakeFrame> Frames;
    void Clear() override
    {
        Frames.clear();
        BEXT = {};
        CART = {};
        IsLoadedFlag = false;
    }
    int FrameCount() const override { return int(Frames.size()); }
    std::string FrameID(int i) const override { return Frames[size_t(i)].ID; }
    std::string FrameText(int i) const override { return Frames[size_t(i)].Text; }
    TNameValueList FrameList(int i) const override { return Frames[size_t(i)].List; }
    void DeleteFrames(const std::string& id) override
    {
        Frames.erase(std::remove_if(Frames.begin(), Frames.end(), [&](const TFakeFrame& f) { return f.ID == id; }),
            Frames.end());
    }
    void SetFrameText(const std::string& id, const std::string& t) override
    {
        for (auto& f : Frames)
            if (f.ID == id) {
                f.Text = t;
                return;
            }
        Frames.push_back({ id, t, {} });
    }
    void AddListFrame(const std::string& id, const TNameValueList& l) override { Frames.push_back({ id, "", l }); }
    void MarkLoaded() override { IsLoadedFlag = true; }
};

struct TFakeAttribute {
    TFakeAttribute(std::string name = "", std::string text = "")
        : Name(std::move(name))
        , Text(std::move(text))
    {
    }
    std::string Name, Text;
    int64_t Integer = 0;
    bool IsInteger = false;
    TNameValueList List;
    bool IsPicture = false;
    TNativePicture Picture;
};

class TFakeWMA : public TFakeNative<TWMATagBase> {
public:
    std::vector<TFakeAttribute> Attributes;
    void Clear() override
    {
        Attributes.clear();
        IsLoadedFlag = false;
    }
    int AttributeCount() const override { return int(Attributes.size()); }
    std::string AttributeName(int i) const override { return Attributes[size_t(i)].Name; }
    std::string AttributeText(int i) const override
    {
        const auto& a = Attributes[size_t(i)];
        return a.IsInteger ? std::to_string(a.Integer) : a.Text;
    }
    int64_t AttributeInteger(int i) const override { return Attributes[size_t(i)].Integer; }
    TNameValueList AttributeList(int i) const override { return Attributes[size_t(i)].List; }
    bool AttributeIsPicture(int i) const override { return Attributes[size_t(i)].IsPicture; }
    TNativePicture AttributePicture(int i) const override { return Attributes[size_t(i)].Picture; }
    void DeleteAttributes(const std::string& name) override
    {
        Attributes.erase(std::remove_if(Attributes.begin(), Attributes.end(),
                             [&](const TFakeAttribute& a) { return SameTextAscii(a.Name, name); }),
            Attributes.end());
    }
    void AddText(const std::string& n, const std::string& t) override { Attributes.push_back({ n, t }); }
    void AddInteger(const std::string& n, uint32_t v) override
    {
        TFakeAttribute a { n, "" };
        a.Integer = v;
        a.IsInteger = true;
        Attributes.push_back(a);
    }
    void AddList(const std::string& n, const TNameValueList& l) override
    {
        TFakeAttribute a { n, "" };
        a.List = l;
        Attributes.push_back(a);
    }
    void DeleteAllPictures() override
    {
        Attributes.erase(
            std::remove_if(Attributes.begin(), Attributes.end(), [](const TFakeAttribute& a) { return a.IsPicture; }),
            Attributes.end());
    }
    void AddPicture(const TNativePicture& p) override
    {
        TFakeAttribute a { "WM/Picture", "" };
        a.IsPicture = true;
        a.Picture = p;
        Attributes.push_back(a);
    }
};

} // namespace vantor::test
