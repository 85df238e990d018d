#include "ui/views/menu/LyricsPage.h"

#include "library/PlayList.h"
#include "library/PlayerSession.h"
#include "library/TrackData.h"
#include "platform/shell/ClipboardText.h"
#include "ui/framework/SkinKeys.h"
#include "ui/framework/SmartVCL.h"
#include "ui/framework/ThemeManager.h"
#include "ui/views/ViewContext.h"
#include "ui/views/shared/ItemContainer.h"
#include "ui/views/shared/SmartScroll.h"

#include <algorithm>
#include <sstream>

namespace vantor {

namespace {

constexpr int kBarWidth = 50;
constexpr int kFallbackLineHeight = 40;

}

TTextContainer2::TTextContainer2(TCreateKey key, const TViewContext* context)
    : TSmartCtrl(key)
    , m_context(context)
{
    tcScrollBar = AddItem("TSmartScroll", "Top", Create<TSmartScroll>(context));
    tcScrollBar->ssAction = [this](TSmartScroll&, const TInputData&) {
        Arrange();
        Invalidate(true);
    };
}

void TTextContainer2::SetText(const std::string& Value)
{
    tcText.clear();
    std::istringstream lines(Value);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        tcText.push_back(line);
    }
    tcScrollBar->SetPos(0);
    CalculateScroll();
    Arrange();
    Invalidate(true);
}

std::string TTextContainer2::Text() const
{
    std::string text;
    for (std::string const& line : tcText) {
        text += line;
        text += '\n';
    }
    return text;
}

void TTextContainer2::CalculateScroll()
{
    TThemeManager const* const theme = m_context ? m_context->Theme : nullptr;
    int const lineHeight =
        theme ? theme->FontHeight(skin::fonts::Lyrics_Text, kFallbackLineHeight) : kFallbackLineHeight;
    tcScrollValue = lineHeight;
    // A line wider than the view takes two.
    int wide = 0;
    for (std::string const& line : tcText) {
        int const width = theme ? theme->TextWidth(skin::fonts::Lyrics_Text, line, -1) : -1;
        if ((width >= 0 ? width : 10 * static_cast<int>(line.size())) > Width())
            ++wide;
    }
    int const range = lineHeight * (wide + static_cast<int>(tcText.size())) - Height() + 30;
    tcScrollBar->SetMax(std::max(0, range));
}

void TTextContainer2::On_Resize()
{
    tcScrollBar->SetPosition(Width() - kBarWidth, 0);
    tcScrollBar->SetWidth(kBarWidth);
    tcScrollBar->SetHeight(Height());
    CalculateScroll();
    TSmartCtrl::On_Resize();
}

void TTextContainer2::On_Arrange()
{
    tcTextRect = { 0, -tcScrollBar->ssPos, tcScrollBar->Left() - 20, Height() - 10 };
    TSmartCtrl::On_Arrange();
}

TSmartCtrl* TTextContainer2::On_MouseWheel(const TInputData& InputData, bool& ChildNotify)
{
    ChildNotify = true;
    if (tcScrollBar->ssMax > 0) {
        tcScrollBar->SetPos(tcScrollBar->ssPos + (InputData.idDirection <= 0 ? tcScrollValue : -tcScrollValue));
        Arrange();
        Invalidate(true);
    }
    return this;
}

void TTextContainer2::On_Paint(TBitmap& Canvas)
{
    TThemeManager* const theme = m_context ? m_context->Theme : nullptr;
    if (!theme || tcText.empty())
        return;
    TRect const area = CanvasRect();
    std::string text = Text();
    text.pop_back();
    theme->TextOut(
        text, skin::fonts::Lyrics_Text, tfLeft | tfWordBreak, tcTextRect.Offset(area.Left, area.Top), Canvas);
}

TLyricsHolder::TLyricsHolder(TCreateKey key, const TViewContext& context)
    : TMenuHolder(key, context, "Menu.LyricsViewer")
{
    mhItemContainer->SetVisible(false);
    lhTextContainer = AddItem("lhTextContainer", Create<TTextContainer2>(&context));
    AddButton("Icon.Remove.46", "Button.ClearLyrics", asLeft, [this](TMenuButton&, const TInputData&) {
        lhTextContainer->SetText({});
        m_placeholder = false;
    });
    AddButton("Icon.Copy.46", "Button.ClipboardCopy", asLeft,
        [this](TMenuButton&, const TInputData&) { WriteClipboard(lhTextContainer->Text()); });
    AddButton("Icon.Paste.46", "Button.ClipboardPaste", asLeft, [this](TMenuButton&, const TInputData&) {
        // Shown only: the track has lyrics once they are saved.
        if (std::optional<std::string> const text = ReadClipboard()) {
            lhTextContainer->SetText(*text);
            m_placeholder = false;
        }
    });
    AddButton("Icon.Save.46", "Button.SaveChanges", asRight, [this](TMenuButton&, const TInputData&) { SaveLyrics(); });
    if (context.Session)
        context.Session->RegisterTrackHolder(this);
}

TLyricsHolder::~TLyricsHolder()
{
    if (Context().Session)
        Context().Session->UnregisterTrackHolder(this);
}

void TLyricsHolder::ReleaseTrack(TTrackData& track)
{
    if (lhTrackData == &track)
        lhTrackData = nullptr;
}

void TLyricsHolder::ReadLyrics(TTrackData& TrackData, bool ForceReread)
{
    if (!Visible())
        return;
    lhTextContainer->SetText(TrackData.ReadLyrics(ForceReread));
    m_placeholder = !TrackData.tdHasLyrics;
    lhTrackData = &TrackData;
    RepaintWindow();
}

bool TLyricsHolder::SaveLyrics()
{
    if (!lhTrackData)
        return false;
    TTrackData& track = *lhTrackData;
    // The "no lyrics" text never goes into the file.
    std::string const text = m_placeholder ? std::string() : lhTextContainer->Text();
    track.SaveTag("LYRICS", text);
    track.tdHasLyrics = !text.empty();
    track.SaveInfo();
    RepaintWindow();
    return true;
}

void TLyricsHolder::Activate()
{
    TVPlayList* const list = Context().Session ? Context().Session->CurrentPlayList : nullptr;
    if (list) {
        list->plLyricsMode = true;
        if (TTrackData* const current = Context().Session->CurrentTrack)
            ReadLyrics(*current, false);
    }
    TMenuHolder::Activate();
}

void TLyricsHolder::Deactivate()
{
    lhTrackData = nullptr;
    if (TVPlayList* const list = Context().Session ? Context().Session->CurrentPlayList : nullptr)
        list->plLyricsMode = false;
    TMenuHolder::Deactivate();
}

void TLyricsHolder::On_Arrange()
{
    TMenuHolder::On_Arrange();
    lhTextContainer->SetPosition(10, BarHeight + 10);
    lhTextContainer->SetWidth(Width() - 20);
    lhTextContainer->SetHeight(std::max(0, Height() - 2 * BarHeight - 20));
    lhTextContainer->Arrange();
}

std::optional<std::string> TLyricsHolder::ReadClipboard() const { return ClipboardText(); }

void TLyricsHolder::WriteClipboard(const std::string& Text) { SetClipboardText(Text); }

}
