#pragma once
// One item of an MP4 item list: an atom named by the item's id holding, in
// this order, an optional "mean" and "name" (free-form items) and one or more
// "data" atoms.

#include "tags/TagTypes.h"
#include "tags/mp4/MP4Atoms.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vantor {

class TMP4Atom;
class TMP4Tag;

// The data type of a data atom: 1 is UTF-8 text, 0 and 21 big-endian integers;
// any other type (pictures among them) is carried as it is.
constexpr uint32_t MP4DataText = 1;
constexpr uint32_t MP4DataInteger = 0;
constexpr uint32_t MP4DataSignedInteger = 21;

// The body of a "mean" or "name" atom: 4 bytes of version and flags, then UTF-8 text.
class TMP4AtomText {
public:
    explicit TMP4AtomText(TMP4Atom* parent)
        : Parent(parent)
    {
    }
    std::vector<uint8_t> Data;
    TMP4Atom* Parent; // not owned

    std::string GetAsText() const;
    // Empty text empties the body, and an empty body is not written.
    void SetAsText(const std::string& text);
};
using TMP4Atommean = TMP4AtomText;
using TMP4Atomname = TMP4AtomText;

class TMP4AtomData {
public:
    TMP4AtomData(TMP4Atom* parent, int index)
        : Parent(parent)
        , Index(index)
    {
    }

    std::vector<uint8_t> Data; // the value bytes
    // A value loaded in part (a large cover): Data holds its first bytes, the whole value is
    // DeferredSize bytes at DeferredOffset of the loaded file.
    uint64_t DeferredOffset = 0;
    uint64_t DeferredSize = 0;
    uint32_t DataType = MP4DataInteger;
    uint32_t Reserved = 0; // the 4 bytes after the type, kept verbatim
    TMP4Atom* Parent;      // not owned
    int Index;             // position in the parent's list

    bool IsInteger() const { return DataType == MP4DataInteger || DataType == MP4DataSignedInteger; }
    std::string GetAsText() const;
    uint8_t GetAsInteger8() const;
    uint16_t GetAsInteger16() const;
    uint32_t GetAsInteger32() const;
    // 16-bit high word followed by a 32-bit low word; all bits set when not an integer.
    void GetAsInteger48(uint32_t& lowDWord, uint16_t& highWord) const;
    void GetAsInteger64(uint32_t& lowDWord, uint32_t& highDWord) const;
    uint64_t GetAsInteger48() const;
    uint64_t GetAsInteger64() const;
    // Width from the value length (1, 2, 4, 6 or 8 bytes); 0 otherwise.
    uint64_t GetAsInteger() const;
    bool GetAsBool() const;
    // One "name=value" entry per pair of CR LF-ended lines.
    TNameValueList GetAsList() const;

    void SetAsText(const std::string& text);
    void SetAsInteger8(uint8_t value);
    void SetAsInteger16(uint16_t value);
    void SetAsInteger32(uint32_t value);
    void SetAsInteger48(uint64_t value);
    void SetAsInteger64(uint64_t value);
    void SetAsBool(bool value);
    void SetAsList(const TNameValueList& list);
    void Clear();
    void Assign(const TMP4AtomData& source);
    void Write(std::vector<uint8_t>& out) const;
    // Asks the parent item to delete this data atom (which frees it).
    void Delete();

private:
    uint64_t ReadInteger(size_t width) const;
    void SetInteger(uint64_t value, size_t width);
};

class TMP4Atom {
public:
    TMP4Atom(TMP4Tag* parent, TAtomName id, int index);

    TAtomName ID;
    uint64_t Size = 0; // as read from the file
    TMP4Atommean mean { this };
    TMP4Atomname name { this };
    std::vector<std::unique_ptr<TMP4AtomData>> Datas;
    uint32_t Flags = 0;
    TMP4Tag* Parent; // not owned
    int Index;       // position in the tag's list

    TMP4AtomData* AddData();
    int Count() const { return int(Datas.size()); }

    // Getters read the first data atom (empty or 0 without one); setters write
    // it, adding one when there is none.
    // The text of a text value, else the decimal form of GetAsInteger (nothing
    // when that has all bits set).
    std::string GetAsText() const;
    uint8_t GetAsInteger8() const;
    uint16_t GetAsInteger16() const;
    uint32_t GetAsInteger32() const;
    uint64_t GetAsInteger48() const;
    uint64_t GetAsInteger64() const;
    uint64_t GetAsInteger() const;
    bool GetAsBool() const;
    TNameValueList GetAsList() const;
    void SetAsText(const std::string& text);
    void SetAsInteger8(uint8_t value);
    void SetAsInteger16(uint16_t value);
    void SetAsInteger32(uint32_t value);
    void SetAsInteger48(uint64_t value);
    void SetAsInteger64(uint64_t value);
    void SetAsBool(bool value);
    void SetAsList(const TNameValueList& list);

    std::string GetAsCommonText(const std::string& _name, const std::string& _mean) const;
    void SetAsCommonText(const std::string& _name, const std::string& _mean, const std::string& value);

    void Clear();
    uint64_t CalculateAtomSize() const;
    void Write(std::vector<uint8_t>& out) const;
    // Asks the tag to delete this item (which frees it).
    void Delete();
    bool DeleteData(int atomIndex);
    void Deletemean() { mean.Data.clear(); }
    void Deletename() { name.Data.clear(); }
    // Drops data atoms that hold nothing (type 0, empty value).
    void CompactAtomDataList();
    void Assign(const TMP4Atom& source);

private:
    TMP4AtomData& First();
    const TMP4AtomData* FirstOrNull() const { return Datas.empty() ? nullptr : Datas.front().get(); }
    void Renumber(size_t from);
};

} // namespace vantor
