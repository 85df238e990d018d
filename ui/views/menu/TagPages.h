#pragma once

// The tag editor: the fields of a track's file as editable lines under its cover and details,
// a field picker that adds lines, and a save that writes them into the file (the audio stays
// as it is) and refreshes the track's record.

#include "library/LibraryHooks.h"
#include "platform/graphics/Bitmap.h"
#include "ui/views/menu/MenuHolder.h"
#include "ui/views/shared/ItemContainer.h"

#include <string>
#include <string_view>

namespace vantor {

class TSmartEdit;
class TTagsList;
class TTrackData;

// The field names the picker offers, in its order.
inline constexpr std::string_view kTagPickerFields[] = { "LYRICS", "ARTIST", "TITLE", "ALBUMARTIST", "COMPOSER",
    "SUBTITLE", "MIXARTIST", "ALBUM", "COPYRIGHT", "GROUPING", "GENRE", "RELEASEDATE", "RECORDINGDATE", "YEAR",
    "TRACKNUMBER", "TRACK", "DISCNUMBER", "DISC", "BPM", "KEY", "CONDUCTOR", "LYRICIST", "PRODUCED", "STUDIO",
    "PUBLISHER", "ENCODEDBY", "SOFTWARESETTINGS", "ISRC", "DISCSUBTITLE", "LANGUAGE", "MEDIA", "TIPL", "TMCL", "MOOD",
    "COMMENT", "ARTISTSORT", "TITLESORT", "ALBUMARTISTSORT", "ALBUMSORT", "ORIGINALARTIST", "ORIGINALTITLE",
    "ORIGINALLYRICIST", "ORIGINALFILENAME", "ORIGINALRELEASEDATE", "ARTISTURL", "AUDIOFILEURL", "BUYCDURL",
    "PUBLISHERURL", "RADIOSTATIONURL", "COPYRIGHTURL", "OFFICIALAUDIOSOURCEURL", "PAYMENTURL", "FILEOWNER",
    "RADIOSTATIONNAME", "RADIOSTATIONOWNER" };

class TTagItem : public TSmartCtrl {
public:
    static constexpr int CaptionHeight = 70;

    // list: the editor's list it belongs to; none for the picker's lines.
    TTagItem(TCreateKey key, const TViewContext& context, std::string id, TTagsList* list);

    std::string giId;
    std::string giDescription; // language key in "#TagNames"
    TTagsList* giSmartGrid;    // non-owning
    TSmartEdit* giValueEdit = nullptr;
    bool tiShowDelete = false;

protected:
    void On_Paint(TBitmap& Canvas) override;
    void On_Arrange() override;
    TSmartCtrl* On_MouseMove(const TInputData& InputData, bool& ChildNotify) override;
    void On_Leave(const TInputData& InputData) override;
    TSmartCtrl* On_MouseDown(const TInputData& InputData, bool& ChildNotify) override;

private:
    const TViewContext* m_context; // non-owning
    static bool InIcon(int X, int Y);
    void ShowDelete(bool show);
};

// The editor's lines, 140 high and 150 apart; adding or removing one scrolls back to the top.
class TTagsList : public TItemContainer {
public:
    static constexpr int LineHeight = 140;
    static constexpr int LinePitch = 150;

    TTagsList(TCreateKey key, const TViewContext* context);

    // Appends a line unless one with the id (in any case) is there; that one is returned as
    // it is.
    TTagItem* AddLine(const std::string& LineID, const std::string& Desc, const std::string& TextValue);
    TTagItem* GetLine(std::string_view LineID) const;
    bool LineExists(std::string_view LineID) const;
    void TagItemRemove(TTagItem& Item);
    void Clear();
    int Count() { return ItemList().Count(); }
    TTagItem* Line(int index) { return static_cast<TTagItem*>(ItemList().Control(index)); }

private:
    const TViewContext* m_context; // non-owning
    void Rearrange();
};

class TTagsHolder : public TMenuHolder, public ITrackHolder {
public:
    static constexpr int ListTop = 440;

    TTagsHolder(TCreateKey key, const TViewContext& context);
    ~TTagsHolder() override;

    TBitmap thCover;
    TTrackData* thTrackData = nullptr; // non-owning; let go when the track goes
    TTagsList* thTagsList = nullptr;
    TRect thCoverRect;
    bool thHasCover = false;
    // Opens the field picker (set by the window).
    std::function<void()> ShowSelectHolder;

    void ReadTags(TTrackData& TrackData);
    // Writes the lines into the file; false when nothing was written.
    bool SaveTags();
    void Activate() override;
    void Deactivate() override;
    void ReleaseTrack(TTrackData& track) override;

protected:
    void On_Arrange() override;
    void On_Paint(TBitmap& Canvas) override;
};

class TTagsSelectHolder : public TMenuHolder {
public:
    // editor: where picked fields go; back: shows the editor again.
    TTagsSelectHolder(TCreateKey key, const TViewContext& context, TTagsHolder& editor, std::function<void()> back);
    TTagsHolder* tsTagsHolder; // non-owning

    // One empty line per field the editor does not show yet.
    void Fill();
    void ArrangeProc(TItemContainer& ItemContainer) override;
    void Activate() override;
    void Deactivate() override;

private:
    std::function<void()> m_back;
};

}
