#pragma once

// TSmartEdit: a single-line text field. Positions count characters (UTF-8 code points), not
// bytes. The caret and an anchor make the selection; the mouse, Shift with the arrows, Home
// and End, and Ctrl+A select; Ctrl+C, X and V use the desktop's clipboard and Ctrl+Z takes
// back the last edit. The text scrolls sideways to keep the caret in view.

#include "ui/framework/SmartCtrl.h"

#include <functional>
#include <optional>
#include <string>

namespace vantor {

struct TViewContext;

class TSmartEdit : public TSmartCtrl {
public:
    using TTextChanged = std::function<void(TSmartEdit& sender)>;

    TSmartEdit(TCreateKey key, const TViewContext* context);

    std::string seText;
    int seLetterIDX = 0; // the caret: how many characters are before it
    int seStartIDX = 1;  // the first character drawn (1-based) while the text scrolls
    int seSelStart = 0;  // the selection: characters seSelStart .. seSelEnd - 1
    int seSelEnd = 0;
    TRect seCurretRect;     // the highlight, in the field's logical units
    std::string seDescText; // language key of the placeholder
    bool seShowDescription = false;
    int seTextOffset = 15;
    std::string seFontName;
    std::string seBackgroundImage = "Edit.Back"; // in the group "Controls"; empty draws none
    TTextChanged seTextChanged;

    // Replaces the content; the caret goes to the end. No change is reported.
    void SetText(std::string Value);
    int Length() const;
    bool HasSelection() const { return seSelEnd > seSelStart; }
    std::string SelectedText() const;
    // The caret to a place, moving the selection's far end with it when extending.
    void MoveCaret(int Index, bool Extend);

protected:
    void On_Paint(TBitmap& Canvas) override;
    void On_KeyPress(char32_t Key) override;
    void On_KeyDown(uint16_t Key, TShiftState Shift) override;
    TSmartCtrl* On_MouseDown(const TInputData& InputData, bool& ChildNotify) override;
    TSmartCtrl* On_MouseMove(const TInputData& InputData, bool& ChildNotify) override;
    TSmartCtrl* On_MouseDouble(const TInputData& InputData, bool& ChildNotify) override;
    void On_Resize() override;

    virtual void OnTextChanged();
    // The clipboard; the desktop's unless a subclass has another.
    virtual std::optional<std::string> ReadClipboard() const;
    virtual void WriteClipboard(const std::string& Text);
    void CopyToClipboard();
    void PasteFromClipboard();
    void CutToClipboard();

private:
    const TViewContext* m_context; // non-owning; may be null in tests
    int m_anchor = 0;              // the selection's fixed end
    struct TUndo {
        std::string Text;
        int Caret;
    };
    std::optional<TUndo> m_undo; // the state before the last edit

    // Replaces the selection by text (an insertion when nothing is selected).
    void ReplaceSelection(std::string_view text);
    void RememberForUndo();
    void Undo();
    // The width of Count characters from character Start, in logical units.
    int TextWidth(int Start, int Count) const;
    // The caret position for a pointer x.
    int GetLetter(int X) const;
    // Keeps the caret in view and places the highlight.
    void UpdateCurret();
    int WordStart(int From) const;
    int WordEnd(int From) const;
    void Repaint();
};

}
