// The text field's editing: typing, the caret and the selection by key and mouse, deleting,
// the clipboard and undo, on ASCII and multi-byte text.

#include "ui/views/shared/SmartEdit.h"
#include "platform/window/KeyCodes.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

class TEdit : public TSmartEdit {
public:
    using TSmartEdit::On_KeyDown;
    using TSmartEdit::On_KeyPress;
    using TSmartEdit::TSmartEdit;
    std::optional<std::string> Clipboard;
    int Changes = 0;

protected:
    std::optional<std::string> ReadClipboard() const override { return Clipboard; }
    void WriteClipboard(const std::string& Text) override { Clipboard = Text; }
    void OnTextChanged() override
    {
        ++Changes;
        TSmartEdit::OnTextChanged();
    }
};

// The field as text with the caret as "|" or the selection in brackets.
std::string Shown(const TSmartEdit& edit)
{
    std::string const& text = edit.seText;
    auto at = [&](int chars) {
        size_t byte = 0;
        for (int n = 0; n < chars; ++n)
            do
                ++byte;
            while (byte < text.size() && (static_cast<unsigned char>(text[byte]) & 0xC0) == 0x80);
        return byte;
    };
    if (!edit.HasSelection())
        return text.substr(0, at(edit.seLetterIDX)) + "|" + text.substr(at(edit.seLetterIDX));
    return text.substr(0, at(edit.seSelStart)) + "[" + edit.SelectedText() + "]" + text.substr(at(edit.seSelEnd));
}

// Runs steps on the field: "<Key>" with optional "S-" (Shift) and "C-" (Ctrl) prefixes, any
// other text is typed character by character.
void Steps(TEdit& edit, std::string_view steps)
{
    struct TName {
        std::string_view Name;
        uint16_t Key;
    };
    static constexpr TName kKeys[] = { { "Left", vkLeft }, { "Right", vkRight }, { "Home", vkHome }, { "End", vkEnd },
        { "BS", vkBack }, { "Del", vkDelete }, { "a", 'A' }, { "c", 'C' }, { "x", 'X' }, { "v", 'V' }, { "z", 'Z' } };
    while (!steps.empty()) {
        if (steps[0] == '<') {
            size_t const close = steps.find('>');
            std::string_view name = steps.substr(1, close - 1);
            steps.remove_prefix(close + 1);
            TShiftState shift = 0;
            for (;;) {
                if (name.starts_with("S-"))
                    shift |= ssShift;
                else if (name.starts_with("C-"))
                    shift |= ssCtrl;
                else
                    break;
                name.remove_prefix(2);
            }
            auto const key =
                std::find_if(std::begin(kKeys), std::end(kKeys), [&](const TName& k) { return k.Name == name; });
            ASSERT_NE(key, std::end(kKeys)) << name;
            edit.On_KeyDown(key->Key, shift);
            continue;
        }
        // One UTF-8 character.
        unsigned char const lead = static_cast<unsigned char>(steps[0]);
        int const size = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t c = size == 1 ? lead : lead & (0xFF >> (size + 1));
        for (int i = 1; i < size; ++i)
            c = (c << 6) | (static_cast<unsigned char>(steps[i]) & 0x3F);
        edit.On_KeyPress(c);
        steps.remove_prefix(size);
    }
}

TEST(SmartEdit, EditsByKeysAsATableOfCases)
{
    struct TCase {
        const char* Start; // SetText first
        const char* Steps;
        const char* Shown;
        const char* Clipboard = nullptr;
    };
    for (TCase const c : {
             TCase { "", "abc", "abc|" },
             TCase { "abc", "d", "abcd|" }, // typing after SetText goes on at the end
             TCase { "abc", "<Left><Left>X", "aX|bc" },
             TCase { "abc", "<Home><Del><End><BS>", "b|" },
             TCase { "abc", "<Home><BS><End><Del>", "abc|" }, // nothing before the start or after the end
             TCase { "", "<BS><Del>", "|" },
             TCase { "hello world", "<S-Left><S-Left>", "hello wor[ld]" },
             TCase { "hello world", "<S-Home>", "[hello world]" },
             TCase { "hello world", "<S-Left><S-Left>X", "hello worX|" }, // typing replaces a selection
             TCase { "hello world", "<S-Left><Left>", "hello worl|d" },   // Left leaves at the start
             TCase { "hello world", "<S-Left>", "hello worl[d]" },        // one character is a selection too
             TCase { "hello big world", "<C-Left><C-Left>", "hello |big world" },
             TCase { "hello big world", "<Home><C-Right>", "hello| big world" },
             TCase { "hello big world", "<C-S-Left>", "hello big [world]" },
             TCase { "hello big world", "<C-BS>", "hello big |" },
             TCase { "hello big world", "<Home><C-Del>", "| big world" },
             TCase { "abc", "<C-a>", "[abc]" },
             TCase { "abc", "<S-Left><C-c>", "ab[c]", "c" },
             TCase { "abc", "<C-c>", "abc|", "abc" }, // no selection copies the whole text
             TCase { "abc", "<S-Left><S-Left><C-x>", "a|", "bc" },
             TCase { "abc", "<Home><C-v>", "xyz|abc" },
             TCase { "abc", "<C-a><C-v>", "xyz|" },
             TCase { "abc", "d<C-z>", "abc|" },
             TCase { "abc", "<BS><C-z><C-z>", "ab|" }, // a second undo takes the undo back
             // Multi-byte text: positions count characters.
             TCase { "caf\xC3\xA9", "<Left><BS>", "ca|\xC3\xA9" },
             TCase { "\xE6\x97\xA5\xE6\x9C\xAC", "<S-Left>\xE8\xAA\x9E", "\xE6\x97\xA5\xE8\xAA\x9E|" },
             TCase { "", "\xF0\x9F\x8E\xB5<Left>a", "a|\xF0\x9F\x8E\xB5" },
         }) {
        SCOPED_TRACE(std::string(c.Start) + " " + c.Steps);
        auto edit = TSmartCtrl::Create<TEdit>(nullptr);
        edit->SetWidth(400);
        edit->SetText(c.Start);
        edit->Clipboard = "xyz";
        Steps(*edit, c.Steps);
        EXPECT_EQ(Shown(*edit), c.Shown);
        if (c.Clipboard) {
            EXPECT_EQ(edit->Clipboard, c.Clipboard);
        }
    }
}

TEST(SmartEdit, ReportsChangesButNotCaretMovesAndPastesOneLine)
{
    auto edit = TSmartCtrl::Create<TEdit>(nullptr);
    edit->SetWidth(400);
    std::string seen;
    edit->seTextChanged = [&](TSmartEdit& sender) { seen = sender.seText; };
    Steps(*edit, "ab<Left><Home><S-End>");
    EXPECT_EQ(edit->Changes, 2) << "two characters typed, no change by moving";
    EXPECT_EQ(seen, "ab");
    edit->Clipboard = "one\ntwo\x01";
    Steps(*edit, "<C-v>");
    EXPECT_EQ(Shown(*edit), "one two|");
    EXPECT_EQ(seen, "one two") << "a paste is a change too";
    edit->Clipboard.reset();
    Steps(*edit, "<C-v>");
    EXPECT_EQ(Shown(*edit), "one two|") << "a clipboard without text pastes nothing";
    // Control characters typed are not text.
    for (char32_t c : { U'\b', U'\r', U'\x16', U'\x7F' })
        edit->On_KeyPress(c);
    EXPECT_EQ(edit->seText, "one two");
}

TEST(SmartEdit, MousePlacesTheCaretAndSelectsAndOnlyTheLeftButtonActs)
{
    // Without a theme every character is 10 wide, after an inset of 15.
    auto edit = TSmartCtrl::Create<TEdit>(nullptr);
    edit->SetWidth(400);
    edit->SetText("abcdef");
    TInputData press;
    press.idXPos = 15 + 21; // nearer to the boundary after "ab"
    edit->MouseDown(press);
    EXPECT_EQ(Shown(*edit), "ab|cdef");
    TInputData drag = press;
    drag.idXPos = 15 + 49;
    drag.idShift = ssLeft;
    edit->MouseMove(drag);
    EXPECT_EQ(Shown(*edit), "ab[cde]f");
    press.idButton = mbRight;
    edit->MouseDown(press);
    EXPECT_EQ(edit->seText, "abcdef") << "a right press loses no text";
    press.idButton = mbLeft;
    press.idXPos = 5;
    edit->MouseDown(press);
    EXPECT_EQ(Shown(*edit), "|abcdef");
    edit->MouseDouble(press);
    EXPECT_EQ(Shown(*edit), "[abcdef]");
}

TEST(SmartEdit, LongTextScrollsToKeepTheCaretInView)
{
    auto edit = TSmartCtrl::Create<TEdit>(nullptr);
    edit->SetWidth(15 + 100 + 15); // room for ten characters
    edit->SetText("");
    Steps(*edit, "abcdefghijklmno");
    EXPECT_EQ(edit->seStartIDX, 6) << "the last ten characters show";
    EXPECT_EQ(edit->seCurretRect.Left, 15 + 100 - 1);
    Steps(*edit, "<Home>");
    EXPECT_EQ(edit->seStartIDX, 1);
    EXPECT_EQ(edit->seCurretRect.Left, 15 - 1);
    // Text deleted brings the start back into view.
    Steps(*edit, "<End><C-BS>abc");
    EXPECT_EQ(edit->seStartIDX, 1);

    // A field filled before it has a width shows its text from the start once it has one.
    auto early = TSmartCtrl::Create<TEdit>(nullptr);
    early->SetText("Artist 1");
    early->SetWidth(400);
    Steps(*early, "x");
    EXPECT_EQ(early->seStartIDX, 1);
}

}
}
