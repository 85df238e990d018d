#include "ui/views/shared/SmartEdit.h"

#include "base/TextFileEncoding.h"
#include "platform/shell/ClipboardText.h"
#include "platform/window/KeyCodes.h"
#include "ui/framework/LocaleManager.h"
#include "ui/framework/SkinKeys.h"
#include "ui/framework/SmartVCL.h"
#include "ui/framework/ThemeManager.h"
#include "ui/views/ViewContext.h"

#include <algorithm>
#include <utility>

namespace vantor {

namespace {

constexpr int kDefaultHeight = 72;
constexpr int kFallbackCharWidth = 10;
constexpr int kCaretWidth = 3;
constexpr int kCaretInset = 14;

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

int CountChars(std::string_view text)
{
    return static_cast<int>(std::count_if(text.begin(), text.end(), [](char c) { return !IsContinuation(c); }));
}

// The byte offset of character index in text (its size past the end).
size_t ByteOffset(std::string_view text, int index)
{
    size_t byte = 0;
    for (int n = 0; n < index && byte < text.size(); ++n) {
        ++byte;
        while (byte < text.size() && IsContinuation(text[byte]))
            ++byte;
    }
    return byte;
}

std::string_view Chars(std::string_view text, int start, int count)
{
    size_t const from = ByteOffset(text, start);
    size_t const to = from + ByteOffset(text.substr(from), count);
    return text.substr(from, to - from);
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Word characters for Ctrl with the arrows: anything but blanks and ASCII punctuation.
bool IsWordChar(std::string_view character)
{
    if (character.empty())
        return false;
    unsigned char const c = static_cast<unsigned char>(character[0]);
    return c >= 0x80 || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

}

TSmartEdit::TSmartEdit(TCreateKey key, const TViewContext* context)
    : TSmartCtrl(key)
    , seFontName(skin::fonts::Item_Title)
    , m_context(context)
{
    scCanFocuse = true;
    SetHeight(kDefaultHeight);
}

int TSmartEdit::Length() const { return CountChars(seText); }

void TSmartEdit::SetText(std::string Value)
{
    seText = ToValidUtf8(Value);
    m_undo.reset();
    seStartIDX = 1;
    // Typing goes on at the end of the new text.
    m_anchor = seLetterIDX = Length();
    MoveCaret(seLetterIDX, false);
}

std::string TSmartEdit::SelectedText() const { return std::string(Chars(seText, seSelStart, seSelEnd - seSelStart)); }

void TSmartEdit::MoveCaret(int Index, bool Extend)
{
    seLetterIDX = std::clamp(Index, 0, Length());
    if (!Extend)
        m_anchor = seLetterIDX;
    m_anchor = std::clamp(m_anchor, 0, Length());
    seSelStart = std::min(m_anchor, seLetterIDX);
    seSelEnd = std::max(m_anchor, seLetterIDX);
    UpdateCurret();
}

void TSmartEdit::RememberForUndo() { m_undo = TUndo { seText, seLetterIDX }; }

void TSmartEdit::Undo()
{
    if (!m_undo)
        return;
    TUndo const before = std::exchange(*m_undo, TUndo { seText, seLetterIDX });
    seText = before.Text;
    MoveCaret(before.Caret, false);
    OnTextChanged();
}

void TSmartEdit::ReplaceSelection(std::string_view text)
{
    size_t const from = ByteOffset(seText, seSelStart);
    size_t const to = ByteOffset(seText, seSelEnd);
    seText.replace(from, to - from, text);
    MoveCaret(seSelStart + CountChars(text), false);
}

void TSmartEdit::On_KeyPress(char32_t Key)
{
    // Control characters come as keys; the text gets printable characters only.
    if (Key < 0x20 || Key == 0x7F || Key > 0x10FFFF || (Key >= 0xD800 && Key <= 0xDFFF))
        return;
    std::string character;
    AppendUtf8(character, Key);
    RememberForUndo();
    ReplaceSelection(character);
    OnTextChanged();
}

void TSmartEdit::On_KeyDown(uint16_t Key, TShiftState Shift)
{
    bool const ctrl = Shift & ssCtrl;
    bool const extend = Shift & ssShift;
    if (ctrl) {
        switch (Key) {
        case 'A':
            m_anchor = 0;
            MoveCaret(Length(), true);
            return;
        case 'C': CopyToClipboard(); return;
        case 'X': CutToClipboard(); return;
        case 'V': PasteFromClipboard(); return;
        case 'Z': Undo(); return;
        default: break;
        }
    }
    switch (Key) {
    case vkLeft:
        if (HasSelection() && !extend && !ctrl)
            MoveCaret(seSelStart, false);
        else
            MoveCaret(ctrl ? WordStart(seLetterIDX) : seLetterIDX - 1, extend);
        break;
    case vkRight:
        if (HasSelection() && !extend && !ctrl)
            MoveCaret(seSelEnd, false);
        else
            MoveCaret(ctrl ? WordEnd(seLetterIDX) : seLetterIDX + 1, extend);
        break;
    case vkHome: MoveCaret(0, extend); break;
    case vkEnd: MoveCaret(Length(), extend); break;
    case vkBack:
    case vkDelete: {
        if (!HasSelection()) {
            // Nothing selected: the character (or with Ctrl the word) before or after the caret.
            int const far = Key == vkBack ? (ctrl ? WordStart(seLetterIDX) : seLetterIDX - 1)
                                          : (ctrl ? WordEnd(seLetterIDX) : seLetterIDX + 1);
            if (far < 0 || far > Length() || far == seLetterIDX)
                return;
            MoveCaret(far, true);
        }
        RememberForUndo();
        ReplaceSelection({});
        OnTextChanged();
        break;
    }
    default: return;
    }
    Repaint();
}

int TSmartEdit::WordStart(int From) const
{
    int n = From;
    while (n > 0 && !IsWordChar(Chars(seText, n - 1, 1)))
        --n;
    while (n > 0 && IsWordChar(Chars(seText, n - 1, 1)))
        --n;
    return n;
}

int TSmartEdit::WordEnd(int From) const
{
    int const length = Length();
    int n = From;
    while (n < length && !IsWordChar(Chars(seText, n, 1)))
        ++n;
    while (n < length && IsWordChar(Chars(seText, n, 1)))
        ++n;
    return n;
}

void TSmartEdit::CopyToClipboard() { WriteClipboard(HasSelection() ? SelectedText() : seText); }

void TSmartEdit::CutToClipboard()
{
    if (!HasSelection())
        return;
    WriteClipboard(SelectedText());
    RememberForUndo();
    ReplaceSelection({});
    OnTextChanged();
}

void TSmartEdit::PasteFromClipboard()
{
    std::optional<std::string> const text = ReadClipboard();
    if (!text)
        return;
    // One line: line breaks become spaces, other control characters go.
    std::string line;
    for (char c : ToValidUtf8(*text)) {
        if (c == '\n' || c == '\r' || c == '\t')
            line += ' ';
        else if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F)
            line += c;
    }
    RememberForUndo();
    ReplaceSelection(line);
    OnTextChanged();
}

std::optional<std::string> TSmartEdit::ReadClipboard() const { return ClipboardText(); }

void TSmartEdit::WriteClipboard(const std::string& Text) { SetClipboardText(Text); }

void TSmartEdit::OnTextChanged()
{
    Repaint();
    if (seTextChanged) {
        TTextChanged const changed = seTextChanged;
        changed(*this);
    }
}

int TSmartEdit::TextWidth(int Start, int Count) const
{
    if (Count <= 0)
        return 0;
    TThemeManager const* const theme = m_context ? m_context->Theme : nullptr;
    int const width = theme ? theme->TextWidth(seFontName, Chars(seText, Start, Count), -1) : -1;
    return width >= 0 ? width : Count * kFallbackCharWidth;
}

int TSmartEdit::GetLetter(int X) const
{
    int const first = seStartIDX - 1;
    int const shown = Length() - first;
    // The boundary nearest to the pointer.
    int previous = 0;
    for (int a = 1; a <= shown; ++a) {
        int const width = TextWidth(first, a);
        if (X < seTextOffset + (previous + width) / 2)
            return first + a - 1;
        previous = width;
    }
    return Length();
}

void TSmartEdit::UpdateCurret()
{
    int const room = Width() - 2 * seTextOffset;
    int first = std::min(std::clamp(seStartIDX - 1, 0, Length()), seLetterIDX);
    if (room <= 0) {
        first = 0; // not laid out yet
    } else {
        // Text comes back into view where there is room for it, and the caret stays in view.
        while (first > 0 && TextWidth(first - 1, seLetterIDX - first + 1) <= room)
            --first;
        while (first < seLetterIDX && TextWidth(first, seLetterIDX - first) > room)
            ++first;
    }
    seStartIDX = first + 1;
    auto x = [&](int index) { return seTextOffset + (index > first ? TextWidth(first, index - first) : 0); };
    if (HasSelection())
        seCurretRect = { x(seSelStart), 0, x(seSelEnd), Height() };
    else
        seCurretRect = { x(seLetterIDX) - 1, kCaretInset, x(seLetterIDX) - 1 + kCaretWidth, Height() - kCaretInset };
    Repaint();
}

void TSmartEdit::On_Resize()
{
    TSmartCtrl::On_Resize();
    UpdateCurret();
}

TSmartCtrl* TSmartEdit::On_MouseDown(const TInputData& InputData, bool& ChildNotify)
{
    ChildNotify = false;
    // Only the left button places the caret; the others leave the text as it is.
    if (InputData.idButton == mbLeft)
        MoveCaret(GetLetter(InputData.idXPos), (InputData.idShift & ssShift) != 0);
    return this;
}

TSmartCtrl* TSmartEdit::On_MouseMove(const TInputData& InputData, bool& ChildNotify)
{
    ChildNotify = false;
    if (InputData.idShift & ssLeft)
        MoveCaret(GetLetter(InputData.idXPos), true);
    return this;
}

TSmartCtrl* TSmartEdit::On_MouseDouble(const TInputData&, bool& ChildNotify)
{
    ChildNotify = false;
    m_anchor = 0;
    MoveCaret(Length(), true);
    return this;
}

void TSmartEdit::On_Paint(TBitmap& Canvas)
{
    TThemeManager* const theme = m_context ? m_context->Theme : nullptr;
    if (!theme)
        return;
    TRect const area = CanvasRect();
    if (!seBackgroundImage.empty())
        theme->Draw("Controls:" + seBackgroundImage, Canvas, "TSmartEdit", area);
    TRect const textRect { area.Left + seTextOffset, area.Top, area.Right - seTextOffset, area.Bottom };
    if (SC_FOCUSED) {
        TRect const mark = seCurretRect.Offset(area.Left, area.Top);
        theme->Draw(HasSelection() ? skin::controls::ProgressProgress : skin::controls::TrackProgress_Knob, Canvas,
            "TSmartEdit.Mark", mark);
        std::string_view const shown = std::string_view(seText).substr(ByteOffset(seText, seStartIDX - 1));
        theme->TextOut(shown, seFontName, tfLeft | tfVCenter | tfSingleLine, textRect, Canvas);
        return;
    }
    if (seShowDescription && seText.empty()) {
        std::string const description = m_context->Locale ? m_context->Locale->Get(seDescText) : seDescText;
        theme->TextOut(
            description, skin::fonts::Item_Title2, tfLeft | tfVCenter | tfSingleLine | tfEndEllipsis, textRect, Canvas);
        return;
    }
    theme->TextOut(seText, seFontName, tfLeft | tfVCenter | tfSingleLine | tfEndEllipsis, textRect, Canvas);
}

void TSmartEdit::Repaint()
{
    if (m_context && m_context->Host)
        m_context->Host->InvalidateControl(this);
    else
        Invalidate(false);
}

}
