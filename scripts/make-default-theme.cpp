// Draws the images of the default theme and writes its theme file.
// Usage: make-default-theme <theme folder> [light]   (normally Theme/default, Theme/light)
//
// A calm dark look: near-black panels, slightly lighter raised surfaces, one blue accent; or
// the same shapes light: white panels, pale grey raised surfaces, dark text.
// Panels and buttons are small nine-slice images; icons are line drawings on a 24-unit grid
// scaled to each icon's nominal size.

#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Rgba {
    double r, g, b, a = 1.0;
};

Rgba Hex(unsigned rgb, double a = 1.0)
{
    return { ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, a };
}

// A palette: every colour the images and fonts take. The dark one is the default theme's; the
// light one keeps its structure with dark text on light surfaces.
struct TPalette {
    const char* Name;
    unsigned Base, Panel, Raised, RaisedHot, Line, Accent, AccentDeep, Pressed, Ink, InkDim, Gold, Rose, Danger;
    unsigned Loading, RowLeft, ItemLeft, EditBorder, SearchTop, Knob, TipBorder;
    unsigned Bright, Artist, AccentText, TabActiveText, OnAccent;
    unsigned ItemHot;            // a hovered or active entry of the side menu, under secondary text
    unsigned Outline;            // the 1-pixel edge of panels and buttons
    unsigned EqGrid, EqGridZero; // the response curve's grid lines, and its 0 dB line
};

const TPalette kDark = { "Default", 0x1B1C21, 0x212228, 0x2A2C33, 0x33363F, 0x34363E, 0x4C8DFF, 0x2D5FB8, 0x2D5FB8,
    0xE4E6EB, 0x9A9EA8, 0xF2C14E, 0xFF5C7A, 0x8C3B46, 0x2E3B52, 0x25262D, 0x30323A, 0x3A3D47, 0x2A2F3D, 0x4A4D57,
    0x454955, 0xF2F3F5, 0xB4B8C2, 0x4C8DFF, 0xFFFFFF, 0xE4E6EB, 0x31343D, 0x000000, 0x2C2E36, 0x454955 };
const TPalette kLight = { "Light", 0xF1F2F5, 0xFFFFFF, 0xF4F5F8, 0xE6E9EF, 0xD9DCE3, 0x2F6FE0, 0x1F55B8, 0xCFDDF7,
    0x1E2129, 0x5C6170, 0xD99A00, 0xE0335A, 0xC94A5A, 0xDCE6F8, 0xF7F8FA, 0xE9ECF1, 0xC4C9D3, 0xE2EAF8, 0xB9BEC9,
    0xCDD1DA, 0x15171D, 0x474C59, 0x1F5FD6, 0x1E2129, 0xFFFFFF, 0xE6E9EF, 0xD3D7DF, 0xE6E9EF, 0xB9BEC9 };

Rgba Base, Panel, Raised, RaisedHot, Line, Accent, AccentDeep, Pressed, Ink, InkDim, Gold, Rose, Danger, Outline;
const TPalette* g_palette = &kDark;

void UsePalette(const TPalette& p)
{
    g_palette = &p;
    Base = Hex(p.Base);
    Panel = Hex(p.Panel);
    Raised = Hex(p.Raised);
    RaisedHot = Hex(p.RaisedHot);
    Line = Hex(p.Line);
    Accent = Hex(p.Accent);
    AccentDeep = Hex(p.AccentDeep);
    Pressed = Hex(p.Pressed);
    Ink = Hex(p.Ink);
    InkDim = Hex(p.InkDim);
    Gold = Hex(p.Gold);
    Rose = Hex(p.Rose);
    Danger = Hex(p.Danger);
    Outline = Hex(p.Outline);
}

// "$FFrrggbb" of a palette colour, for the theme file.
std::string Argb(unsigned rgb)
{
    char text[16];
    std::snprintf(text, sizeof text, "$FF%06X", rgb);
    return text;
}

fs::path g_root;
std::vector<std::string> g_controlLines; // theme file lines of the "Controls" section

void Source(cairo_t* cr, const Rgba& c) { cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a); }

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius)
{
    double const r = std::min(radius, std::min(w, h) / 2);
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void Save(const std::string& group, const std::string& name, int w, int h, const std::function<void(cairo_t*)>& paint)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(surface);
    paint(cr);
    cairo_destroy(cr);
    fs::create_directories(g_root / group);
    std::string const path = (g_root / group / (name + ".png")).string();
    if (cairo_surface_write_to_png(surface, path.c_str()) != CAIRO_STATUS_SUCCESS)
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
    cairo_surface_destroy(surface);
}

// --- controls ---------------------------------------------------------------------------

// A nine-slice panel: fill, optional rounding, optional border, optional accent line.
struct PanelStyle {
    Rgba Fill;
    double Radius = 0;
    Rgba Border { 0, 0, 0, 0 };
    int Margin = 4;
    // thin line along one side: 't', 'b', 'l', 'r' or 0
    char LineSide = 0;
    Rgba LineColor { 0, 0, 0, 0 };
    int LineWidth = 1;
};

void NineSlice(const std::string& name, const PanelStyle& s)
{
    int const size = 2 * s.Margin + 4;
    Save("Controls", name, size, size, [&](cairo_t* cr) {
        if (s.Radius > 0)
            RoundedRect(cr, 0, 0, size, size, s.Radius);
        else
            cairo_rectangle(cr, 0, 0, size, size);
        Source(cr, s.Fill);
        cairo_fill_preserve(cr);
        if (s.Border.a > 0) {
            cairo_new_path(cr);
            RoundedRect(cr, 0.5, 0.5, size - 1, size - 1, std::max(0.0, s.Radius - 0.5));
            Source(cr, s.Border);
            cairo_set_line_width(cr, 1);
            cairo_stroke(cr);
        }
        cairo_new_path(cr);
        if (s.LineSide) {
            int const w = s.LineWidth;
            Source(cr, s.LineColor);
            switch (s.LineSide) {
            case 't': cairo_rectangle(cr, 0, 0, size, w); break;
            case 'b': cairo_rectangle(cr, 0, size - w, size, w); break;
            case 'l': cairo_rectangle(cr, 0, 0, w, size); break;
            default: cairo_rectangle(cr, size - w, 0, w, size); break;
            }
            cairo_fill(cr);
        }
    });
    std::string const m = std::to_string(s.Margin);
    g_controlLines.push_back(name + "=Margins(Left[" + m + "] Top[" + m + "] Right[" + m + "] Bottom[" + m + "])");
}

// A stretch image: a vertical gradient.
void Gradient(const std::string& name, const Rgba& top, const Rgba& bottom)
{
    Save("Controls", name, 4, 64, [&](cairo_t* cr) {
        cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, 64);
        cairo_pattern_add_color_stop_rgba(p, 0, top.r, top.g, top.b, top.a);
        cairo_pattern_add_color_stop_rgba(p, 1, bottom.r, bottom.g, bottom.b, bottom.a);
        cairo_set_source(cr, p);
        cairo_paint(cr);
        cairo_pattern_destroy(p);
    });
}

void Controls()
{
    NineSlice("ControlBar.Back", { Base, 0, Outline, 4, 'b', Line });
    NineSlice("ControlBar.Bottom.Back", { Base, 0, Outline, 4, 't', Line });
    NineSlice("CoverBack", { Raised, 10, Line, 12 });
    NineSlice("PLayerButton", { Panel, 8, Outline, 10 });
    NineSlice("PLayerButton.Active", { RaisedHot, 8, Outline, 10 });
    NineSlice("PLayerButton.Pressed", { Pressed, 8, Outline, 10 });
    NineSlice("PLayerButtonActive", { RaisedHot, 8, Outline, 10 });
    NineSlice("PLayerButtonPressed", { Pressed, 8, Outline, 10 });
    NineSlice("Button.Stop.Down", { Danger, 8, Outline, 10 });
    NineSlice("Button.Stop.Hot", { RaisedHot, 8, Outline, 10, 'r', Line });
    NineSlice("PlayStopOverlay", { Raised, 8, Outline, 10, 'r', Line });
    NineSlice("TrackProgress.Back", { Panel, 8, Outline, 10 });
    NineSlice("TrackProgress.Back.Loading", { Hex(g_palette->Loading), 8, Outline, 10 });
    NineSlice("ProgressProgress", { Hex(g_palette->Accent, 0.30), 8, Outline, 10 });
    NineSlice("TrackProgress.Knob", { Accent, 8, Outline, 10 });
    NineSlice("VolumeProgress.Back", { Panel, 8, Outline, 10 });
    NineSlice("VolumeProgress.Back.Level", { Hex(g_palette->Accent, 0.30), 8, Outline, 10 });
    NineSlice("VolumeProgress.Muted", { Hex(g_palette->Danger, 0.45), 8, Outline, 10 });
    NineSlice("VolumeProgress.Knob", { Accent, 8, Outline, 10 });
    NineSlice("Menu.Tip.Back", { RaisedHot, 8, Hex(g_palette->TipBorder), 10 });
    NineSlice("GroupBar.Back", { Panel, 0, Outline, 4, 'b', Line });
    NineSlice("GroupButton.Active", { Accent, 3, Outline, 4 });
    NineSlice("Track.Back", { Panel, 0, Outline, 4, 'b', Line });
    NineSlice("Track.Left", { Hex(g_palette->RowLeft), 0, Outline, 4, 'r', Line });
    NineSlice("PlayListItem.Progress", { Hex(g_palette->Accent, 0.16), 0, Outline, 4 });
    NineSlice("MenuPanel.Side", { Base, 0, Outline, 4, 'l', Line });
    NineSlice("MenuPanel.Back", { Panel, 0, Outline, 4, 'l', Line });
    NineSlice("MenuPanel.Top", { Raised, 0, Outline, 4, 'b', Line });
    NineSlice("TabBar.Back", { Base, 0, Outline, 4 });
    NineSlice("TabBar.Tab.Active", { Raised, 0, Outline, 4, 'r', Accent, 3 });
    NineSlice("MainWindowActions", { Raised, 0, Outline, 4, 't', Line });
    NineSlice("Menu.Button.Back", { RaisedHot, 8, Outline, 10 });
    NineSlice("ListItem", { Hex(g_palette->ItemHot), 8, Outline, 10 });
    NineSlice("PlayListItem", { Raised, 8, Outline, 10 });
    NineSlice("PlaylistItem.Left", { Hex(g_palette->ItemLeft), 8, Outline, 10 });
    NineSlice("Edit.Back", { Base, 8, Hex(g_palette->EditBorder), 10 });
    NineSlice("Tags.Back", { Panel, 0, Outline, 4, 'b', Line });
    NineSlice("Tags.Top", { Raised, 0, Outline, 4 });
    NineSlice("Tags.Info.Back", { Raised, 8, Outline, 10 });
    Gradient("Search.Top.Back", Hex(g_palette->SearchTop), Panel);
    NineSlice("Donate.Back", { RaisedHot, 8, Outline, 10 });
    NineSlice("ScrollBar.Knob", { Hex(g_palette->Knob), 5, Outline, 6 });
    NineSlice("Alphabet.Panel.Back", { Hex(g_palette->Base, 0.96), 0, Outline, 4, 'r', Line });
    NineSlice("Eq.Back", { Panel, 0, Outline, 4 });
    NineSlice("Eq.Back.Bottom", { Raised, 0, Outline, 4, 't', Line });
    NineSlice("Eq.Slider.Back", { Base, 4, Line, 6 });
    NineSlice("Eq.Knob.Back", { Accent, 6, Outline, 8 });
    NineSlice("Eq.Gain.Knob", { Ink, 6, Outline, 8 });
    NineSlice("Eq.Curve.Back", { Base, 8, Line, 10 });
}

// --- icons ------------------------------------------------------------------------------

// Icon drawings use a 24 x 24 grid; the pen is set to colour c and a 1.8-unit line.
using IconPaint = std::function<void(cairo_t*)>;

void Icon(const std::string& name, int size, const Rgba& c, const IconPaint& paint)
{
    Save("Icons", name, size, size, [&](cairo_t* cr) {
        cairo_scale(cr, size / 24.0, size / 24.0);
        Source(cr, c);
        cairo_set_line_width(cr, 1.8);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        paint(cr);
    });
}

void Poly(cairo_t* cr, std::initializer_list<double> xy, bool close = true)
{
    auto it = xy.begin();
    cairo_move_to(cr, it[0], it[1]);
    for (size_t i = 2; i + 1 < xy.size(); i += 2)
        cairo_line_to(cr, it[i], it[i + 1]);
    if (close)
        cairo_close_path(cr);
}

void Seg(cairo_t* cr, double x1, double y1, double x2, double y2)
{
    cairo_move_to(cr, x1, y1);
    cairo_line_to(cr, x2, y2);
    cairo_stroke(cr);
}

void Circle(cairo_t* cr, double x, double y, double r)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x, y, r, 0, 2 * M_PI);
}

const IconPaint Play = [](cairo_t* cr) {
    Poly(cr, { 8, 5, 19, 12, 8, 19 });
    cairo_fill(cr);
};
const IconPaint Pause = [](cairo_t* cr) {
    RoundedRect(cr, 6.5, 5, 4, 14, 1);
    RoundedRect(cr, 13.5, 5, 4, 14, 1);
    cairo_fill(cr);
};
const IconPaint Stop = [](cairo_t* cr) {
    RoundedRect(cr, 6.5, 6.5, 11, 11, 1.5);
    cairo_fill(cr);
};
const IconPaint Next = [](cairo_t* cr) {
    Poly(cr, { 6, 6, 15, 12, 6, 18 });
    cairo_fill(cr);
    RoundedRect(cr, 16, 6, 2.4, 12, 1);
    cairo_fill(cr);
};
const IconPaint Prev = [](cairo_t* cr) {
    Poly(cr, { 18, 6, 9, 12, 18, 18 });
    cairo_fill(cr);
    RoundedRect(cr, 5.6, 6, 2.4, 12, 1);
    cairo_fill(cr);
};
const IconPaint Shuffle = [](cairo_t* cr) {
    cairo_move_to(cr, 4, 7);
    cairo_curve_to(cr, 10, 7, 12, 17, 19, 17);
    cairo_stroke(cr);
    cairo_move_to(cr, 4, 17);
    cairo_curve_to(cr, 10, 17, 12, 7, 19, 7);
    cairo_stroke(cr);
    Poly(cr, { 17, 4, 20, 7, 17, 10 }, false);
    cairo_stroke(cr);
    Poly(cr, { 17, 14, 20, 17, 17, 20 }, false);
    cairo_stroke(cr);
};
const IconPaint Repeat = [](cairo_t* cr) {
    Poly(cr, { 5, 11, 5, 8, 18, 8 }, false);
    cairo_stroke(cr);
    Poly(cr, { 15, 5, 18, 8, 15, 11 }, false);
    cairo_stroke(cr);
    Poly(cr, { 19, 13, 19, 16, 6, 16 }, false);
    cairo_stroke(cr);
    Poly(cr, { 9, 13, 6, 16, 9, 19 }, false);
    cairo_stroke(cr);
};
const IconPaint Sliders = [](cairo_t* cr) {
    for (double x : { 6.0, 12.0, 18.0 })
        Seg(cr, x, 4, x, 20);
    for (auto [x, y] : { std::pair { 6.0, 14.0 }, { 12.0, 8.0 }, { 18.0, 16.0 } }) {
        Circle(cr, x, y, 2.2);
        cairo_fill(cr);
    }
};
const IconPaint Speaker = [](cairo_t* cr) {
    Poly(cr, { 4, 9.5, 8, 9.5, 12.5, 5.5, 12.5, 18.5, 8, 14.5, 4, 14.5 });
    cairo_fill(cr);
};
const IconPaint Mute = [](cairo_t* cr) {
    Speaker(cr);
    Seg(cr, 15.5, 9.5, 20.5, 14.5);
    Seg(cr, 20.5, 9.5, 15.5, 14.5);
};
const IconPaint Disc = [](cairo_t* cr) {
    Circle(cr, 12, 12, 9);
    cairo_stroke(cr);
    Circle(cr, 12, 12, 2.5);
    cairo_fill(cr);
};
const IconPaint Note = [](cairo_t* cr) {
    Seg(cr, 10, 17, 10, 5);
    Poly(cr, { 10, 5, 18, 3.5, 18, 15 }, false);
    cairo_stroke(cr);
    Circle(cr, 7.7, 17, 2.6);
    Circle(cr, 15.7, 15, 2.6);
    cairo_fill(cr);
};
void StarPath(cairo_t* cr)
{
    for (int i = 0; i < 10; ++i) {
        double const r = i % 2 ? 3.8 : 8.5;
        double const a = -M_PI / 2 + i * M_PI / 5;
        if (i == 0)
            cairo_move_to(cr, 12 + r * std::cos(a), 12.5 + r * std::sin(a));
        else
            cairo_line_to(cr, 12 + r * std::cos(a), 12.5 + r * std::sin(a));
    }
    cairo_close_path(cr);
}
void HeartPath(cairo_t* cr)
{
    cairo_move_to(cr, 12, 19.5);
    cairo_curve_to(cr, 4, 14, 3, 9.5, 5.5, 7);
    cairo_curve_to(cr, 8, 4.5, 11, 5.5, 12, 8);
    cairo_curve_to(cr, 13, 5.5, 16, 4.5, 18.5, 7);
    cairo_curve_to(cr, 21, 9.5, 20, 14, 12, 19.5);
    cairo_close_path(cr);
}
const IconPaint StarFilled = [](cairo_t* cr) {
    StarPath(cr);
    cairo_fill(cr);
};
const IconPaint StarOutline = [](cairo_t* cr) {
    StarPath(cr);
    cairo_stroke(cr);
};
const IconPaint HeartFilled = [](cairo_t* cr) {
    HeartPath(cr);
    cairo_fill(cr);
};
const IconPaint HeartOutline = [](cairo_t* cr) {
    HeartPath(cr);
    cairo_stroke(cr);
};
const IconPaint Lyrics = [](cairo_t* cr) {
    Seg(cr, 4, 6, 14, 6);
    Seg(cr, 4, 10.5, 14, 10.5);
    Seg(cr, 4, 15, 9, 15);
    Seg(cr, 17, 17, 17, 6);
    Seg(cr, 17, 6, 20.5, 7.5);
    Circle(cr, 15, 17.5, 2.3);
    cairo_fill(cr);
};
const IconPaint Cross = [](cairo_t* cr) {
    Seg(cr, 6, 6, 18, 18);
    Seg(cr, 18, 6, 6, 18);
};
const IconPaint Minimize = [](cairo_t* cr) { Seg(cr, 6, 12, 18, 12); };
const IconPaint Maximize = [](cairo_t* cr) {
    RoundedRect(cr, 6, 6, 12, 12, 1.5);
    cairo_stroke(cr);
};
const IconPaint ListLines = [](cairo_t* cr) {
    for (double y : { 7.0, 12.0, 17.0 }) {
        Seg(cr, 9, y, 20, y);
        Circle(cr, 5, y, 1.2);
        cairo_fill(cr);
    }
};
const IconPaint Queue = [](cairo_t* cr) {
    Seg(cr, 4, 6, 15, 6);
    Seg(cr, 4, 11, 15, 11);
    Seg(cr, 4, 16, 10, 16);
    Poly(cr, { 14, 14, 20, 17, 14, 20 });
    cairo_fill(cr);
};
const IconPaint Check = [](cairo_t* cr) {
    Circle(cr, 12, 12, 9);
    cairo_stroke(cr);
    Poly(cr, { 7.5, 12.5, 10.5, 15.5, 16.5, 9 }, false);
    cairo_stroke(cr);
};
const IconPaint Ring = [](cairo_t* cr) {
    Circle(cr, 12, 12, 9);
    cairo_stroke(cr);
};
const IconPaint Tag = [](cairo_t* cr) {
    Poly(cr, { 4, 4, 12, 4, 20.5, 12.5, 12.5, 20.5, 4, 12 });
    cairo_stroke(cr);
    Circle(cr, 8.5, 8.5, 1.6);
    cairo_fill(cr);
};
const IconPaint Bin = [](cairo_t* cr) {
    Seg(cr, 4, 7, 20, 7);
    Poly(cr, { 9, 7, 9.5, 4, 14.5, 4, 15, 7 }, false);
    cairo_stroke(cr);
    Poly(cr, { 6, 7, 7, 20, 17, 20, 18, 7 }, false);
    cairo_stroke(cr);
    Seg(cr, 10, 10.5, 10, 16.5);
    Seg(cr, 14, 10.5, 14, 16.5);
};
const IconPaint Folder = [](cairo_t* cr) {
    Poly(cr, { 3.5, 6, 9.5, 6, 11.5, 8.5, 20.5, 8.5, 20.5, 18.5, 3.5, 18.5 });
    cairo_stroke(cr);
};
const IconPaint Radio = [](cairo_t* cr) {
    RoundedRect(cr, 3.5, 8.5, 17, 11, 2);
    cairo_stroke(cr);
    Seg(cr, 7, 8.5, 17, 4);
    Circle(cr, 15.5, 14, 2.6);
    cairo_fill(cr);
    Seg(cr, 6.5, 12.5, 10, 12.5);
    Seg(cr, 6.5, 15.5, 10, 15.5);
};
const IconPaint Top = [](cairo_t* cr) {
    RoundedRect(cr, 4, 12, 4, 8, 1);
    RoundedRect(cr, 10, 6, 4, 14, 1);
    RoundedRect(cr, 16, 9, 4, 11, 1);
    cairo_fill(cr);
};
const IconPaint Library = [](cairo_t* cr) {
    RoundedRect(cr, 4, 5, 4, 14, 1);
    RoundedRect(cr, 10, 5, 4, 14, 1);
    cairo_stroke(cr);
    cairo_save(cr);
    cairo_translate(cr, 18, 12);
    cairo_rotate(cr, -0.3);
    RoundedRect(cr, -2, -7, 4, 14, 1);
    cairo_restore(cr);
    cairo_stroke(cr);
};
const IconPaint Singer = [](cairo_t* cr) {
    Circle(cr, 12, 8, 3.8);
    cairo_stroke(cr);
    cairo_arc(cr, 12, 21, 7.5, M_PI, 2 * M_PI);
    cairo_stroke(cr);
};
const IconPaint Calendar = [](cairo_t* cr) {
    RoundedRect(cr, 4, 5.5, 16, 14.5, 2);
    cairo_stroke(cr);
    Seg(cr, 4, 10, 20, 10);
    Seg(cr, 8.5, 3.5, 8.5, 7);
    Seg(cr, 15.5, 3.5, 15.5, 7);
};
const IconPaint Genre = [](cairo_t* cr) {
    Circle(cr, 9, 15, 5);
    cairo_stroke(cr);
    Seg(cr, 12.5, 11.5, 19.5, 4.5);
    Circle(cr, 9, 15, 1.3);
    cairo_fill(cr);
};
const IconPaint Wave = [](cairo_t* cr) {
    double const heights[] = { 4, 9, 14, 7, 11, 5 };
    for (int i = 0; i < 6; ++i)
        Seg(cr, 4.5 + i * 3, 12 - heights[i] / 2, 4.5 + i * 3, 12 + heights[i] / 2);
};
const IconPaint Box = [](cairo_t* cr) {
    RoundedRect(cr, 4, 6, 16, 12, 2);
    cairo_stroke(cr);
    Seg(cr, 4, 13, 20, 13);
    Circle(cr, 16.5, 15.5, 1);
    cairo_fill(cr);
};
const IconPaint Clock = [](cairo_t* cr) {
    Circle(cr, 12, 12, 8.5);
    cairo_stroke(cr);
    Poly(cr, { 12, 7, 12, 12, 15.5, 14 }, false);
    cairo_stroke(cr);
};
const IconPaint Dots = [](cairo_t* cr) {
    for (double x : { 6.0, 12.0, 18.0 }) {
        Circle(cr, x, 12, 1.7);
        cairo_fill(cr);
    }
};
const IconPaint Plus = [](cairo_t* cr) {
    Seg(cr, 12, 5, 12, 19);
    Seg(cr, 5, 12, 19, 12);
};
const IconPaint Minus = [](cairo_t* cr) { Seg(cr, 5, 12, 19, 12); };
const IconPaint Back = [](cairo_t* cr) {
    Seg(cr, 5, 12, 19, 12);
    Poly(cr, { 11, 6, 5, 12, 11, 18 }, false);
    cairo_stroke(cr);
};
const IconPaint Refresh = [](cairo_t* cr) {
    cairo_arc(cr, 12, 12, 7.5, -M_PI / 3, 1.6 * M_PI);
    cairo_stroke(cr);
    Poly(cr, { 14.5, 3.5, 16.5, 6, 13.5, 7.5 }, false);
    cairo_stroke(cr);
};
const IconPaint Load = [](cairo_t* cr) {
    Folder(cr);
    Seg(cr, 12, 17, 12, 11);
    Poly(cr, { 9.5, 13.5, 12, 11, 14.5, 13.5 }, false);
    cairo_stroke(cr);
};
const IconPaint SaveIcon = [](cairo_t* cr) {
    Seg(cr, 12, 4, 12, 15);
    Poly(cr, { 7.5, 10.5, 12, 15, 16.5, 10.5 }, false);
    cairo_stroke(cr);
    Poly(cr, { 4.5, 15, 4.5, 19.5, 19.5, 19.5, 19.5, 15 }, false);
    cairo_stroke(cr);
};
const IconPaint RemoveFromList = [](cairo_t* cr) {
    Seg(cr, 4, 6, 16, 6);
    Seg(cr, 4, 11, 16, 11);
    Seg(cr, 4, 16, 10, 16);
    Seg(cr, 14, 17, 20, 17);
};
const IconPaint Copy = [](cairo_t* cr) {
    RoundedRect(cr, 8.5, 8.5, 11, 11, 2);
    cairo_stroke(cr);
    Poly(cr, { 5.5, 15, 4.5, 15, 4.5, 4.5, 15, 4.5, 15, 5.5 }, false);
    cairo_stroke(cr);
};
const IconPaint Cut = [](cairo_t* cr) {
    Circle(cr, 7, 17, 2.8);
    cairo_stroke(cr);
    Circle(cr, 17, 17, 2.8);
    cairo_stroke(cr);
    Seg(cr, 9, 15, 17, 4);
    Seg(cr, 15, 15, 7, 4);
};
const IconPaint Paste = [](cairo_t* cr) {
    RoundedRect(cr, 5, 5, 14, 15.5, 2);
    cairo_stroke(cr);
    RoundedRect(cr, 9, 3.5, 6, 3.5, 1);
    cairo_fill(cr);
    Seg(cr, 8.5, 12, 15.5, 12);
    Seg(cr, 8.5, 16, 13, 16);
};
const IconPaint Search = [](cairo_t* cr) {
    Circle(cr, 10.5, 10.5, 6);
    cairo_stroke(cr);
    Seg(cr, 15, 15, 20, 20);
};
const IconPaint About = [](cairo_t* cr) {
    Circle(cr, 12, 12, 9);
    cairo_stroke(cr);
    Seg(cr, 12, 11, 12, 17);
    Circle(cr, 12, 7.5, 1.2);
    cairo_fill(cr);
};
const IconPaint Globe = [](cairo_t* cr) {
    Circle(cr, 12, 12, 9);
    cairo_stroke(cr);
    cairo_save(cr);
    cairo_translate(cr, 12, 12);
    cairo_scale(cr, 4, 9);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_stroke(cr);
    Seg(cr, 3, 12, 21, 12);
};
const IconPaint Palette = [](cairo_t* cr) {
    Circle(cr, 12, 12, 9);
    cairo_stroke(cr);
    cairo_arc(cr, 12, 12, 9, M_PI / 2, 3 * M_PI / 2);
    cairo_close_path(cr);
    cairo_fill(cr);
};
const IconPaint Logo = [](cairo_t* cr) {
    RoundedRect(cr, 2, 2, 20, 20, 5);
    Source(cr, Accent);
    cairo_fill(cr);
    Source(cr, Hex(0xFFFFFF));
    cairo_save(cr);
    cairo_translate(cr, 12, 12);
    cairo_scale(cr, 0.62, 0.62);
    cairo_translate(cr, -12, -11);
    cairo_set_line_width(cr, 2.4);
    Note(cr);
    cairo_restore(cr);
};

void Icons()
{
    struct {
        const char* Name;
        int Size;
        const Rgba* Color;
        const IconPaint* Paint;
    } const icons[] = {
        { "Button.Play.64", 64, &Ink, &Play },
        { "Button.Pause.64", 64, &Ink, &Pause },
        { "Button.Stop.64", 64, &Ink, &Stop },
        { "Button.Next.64", 64, &Ink, &Next },
        { "Button.Prev.64", 64, &Ink, &Prev },
        { "Button.Shuffle.64", 64, &Ink, &Shuffle },
        { "Button.Repeat.64", 64, &Ink, &Repeat },
        { "Button.EQ.64", 64, &Ink, &Sliders },
        { "Button.Mute.64", 64, &Ink, &Mute },
        { "Icon.Track.64", 64, &InkDim, &Note },
        { "Icon.Track.46", 46, &Ink, &Note },
        { "Icon.CD.74", 74, &InkDim, &Disc },
        { "Icon.Star.Dark.47", 47, &Gold, &StarFilled },
        { "Icon.Star.White.47", 47, &InkDim, &StarOutline },
        { "Icon.Fav.Dark.47", 47, &Rose, &HeartFilled },
        { "Icon.Fav.White.47", 47, &InkDim, &HeartOutline },
        { "Icon.Lyrics.Dark.47", 47, &Ink, &Lyrics },
        { "Icon.Lyrics.White.47", 47, &InkDim, &Lyrics },
        { "Icon.Main.74", 74, &Ink, &Logo },
        { "Icon.Main.166", 166, &Ink, &Logo },
        { "Window.Close.46", 46, &Ink, &Cross },
        { "Window.Minimize.46", 46, &Ink, &Minimize },
        { "Window.Maximize.46", 46, &Ink, &Maximize },
        { "Icon.Singer.46", 46, &Ink, &Singer },
        { "Icon.Album.46", 46, &Ink, &Disc },
        { "Icon.Year.46", 46, &Ink, &Calendar },
        { "Icon.Genre.46", 46, &Ink, &Genre },
        { "Icon.BitRate.46", 46, &Ink, &Wave },
        { "Icon.Size.64", 64, &Ink, &Box },
        { "Icon.Time.46", 46, &Ink, &Clock },
        { "Icon.Star.46", 46, &Ink, &StarOutline },
        { "Icon.Selected.74", 74, &Accent, &Check },
        { "Icon.NotSelected.74", 74, &InkDim, &Ring },
        { "Icon.Tags.74", 74, &Ink, &Tag },
        { "Icon.Lyrics.74", 74, &Ink, &Lyrics },
        { "Icon.Lyrics.Empty.74", 74, &InkDim, &Lyrics },
        { "Icon.Bin.64", 64, &Rose, &Bin },
        { "Icon.Folder.64", 64, &Ink, &Folder },
        { "Favorite.Yes", 74, &Rose, &HeartFilled },
        { "Favorite.no", 74, &InkDim, &HeartOutline },
        { "Icon.PlayList.46", 46, &Ink, &ListLines },
        { "Icon.library.46", 46, &Ink, &Library },
        { "Icon.Favorites", 46, &Rose, &HeartFilled },
        { "Icon.Radio.64", 64, &Ink, &Radio },
        { "Icon.Top.46", 46, &Ink, &Top },
        { "Icon.Queue.46", 46, &Ink, &Queue },
        { "Icon.Selected.46", 46, &Accent, &Check },
        { "Icon.Lyrics.46", 46, &Ink, &Lyrics },
        { "Icon.Tags.46", 46, &Ink, &Tag },
        { "Icon.EQ.46", 46, &Ink, &Sliders },
        { "Tab.Search.46", 46, &Ink, &Search },
        { "Icon.Bin.46", 46, &Rose, &Bin },
        { "Icon.Bin.off.46", 46, &InkDim, &Bin },
        { "Icon.Add.46", 46, &Ink, &Plus },
        { "Icon.Remove.46", 46, &Ink, &Minus },
        { "Icon.Menu.46", 46, &Ink, &Dots },
        { "Icon.Backward.Back", 46, &Ink, &Back },
        { "Icon.Refresh.46", 46, &Ink, &Refresh },
        { "Icon.Load.46", 46, &Ink, &Load },
        { "Icon.Save.46", 46, &Ink, &SaveIcon },
        { "Icon.RemoveFromList.46", 46, &Ink, &RemoveFromList },
        { "Icon.Delete.46", 46, &Rose, &Bin },
        { "Icon.Copy.46", 46, &Ink, &Copy },
        { "Icon.Cut.46", 46, &Ink, &Cut },
        { "Icon.Paste.46", 46, &Ink, &Paste },
        { "Settings.About.74", 74, &Ink, &About },
        { "Settings.Lang.74", 74, &Ink, &Globe },
        { "Settings.Theme.74", 74, &Ink, &Palette },
        { "Settings.Lang.46", 46, &Ink, &Globe },
        { "Settings.Theme.46", 46, &Ink, &Palette },
    };
    for (auto const& icon : icons)
        Icon(icon.Name, icon.Size, *icon.Color, *icon.Paint);

    // The donation button: a wide pill with a heart and a caption.
    Save("Icons", "Paypal.Donate.223", 223, 64, [](cairo_t* cr) {
        RoundedRect(cr, 1, 8, 221, 48, 24);
        Source(cr, AccentDeep);
        cairo_fill(cr);
        cairo_save(cr);
        cairo_translate(cr, 22, 18);
        cairo_scale(cr, 28 / 24.0, 28 / 24.0);
        cairo_translate(cr, 0, -2);
        Source(cr, Rose);
        HeartFilled(cr);
        cairo_restore(cr);
        Source(cr, Hex(g_palette->OnAccent));
        cairo_select_font_face(cr, "Open Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
        cairo_set_font_size(cr, 20);
        cairo_move_to(cr, 64, 39);
        cairo_show_text(cr, "Donate");
    });
}

// --- theme file ---------------------------------------------------------------------------

void ThemeFile()
{
    // Font values: family, size in points, ARGB colour, bold. Sizes follow one scale in steps of
    // about 1.25 (14, 17, 21, 26, and 36 for the about page's name).
    TPalette const& p = *g_palette;
    struct {
        const char* Key;
        int Size;
        unsigned Color;
        bool Bold;
    } const fonts[] = {
        { "ControlBar.Song.Title", 26, p.Bright, true },
        { "ControlBar.Song.Artist", 17, p.Artist, false },
        { "TrackProgress.Loading", 17, p.Ink, false },
        { "ProgressBar.Song.TimeDisplay", 17, p.Ink, false },
        { "VolumeProgress.Volume", 17, p.Ink, false },
        { "Menu.Tip", 17, p.Ink, false },
        { "Item.Title", 21, p.Ink, false },
        { "Item.Title2", 17, p.InkDim, false },
        { "Queue.Number", 21, p.AccentText, true },
        { "Group.Title", 21, p.Bright, true },
        { "Group.Second.Title", 17, p.InkDim, false },
        { "GroupButton.Title", 17, p.Ink, false },
        { "MenuPanel.Top.Title", 21, p.Bright, true },
        { "Menu.Item.Title", 21, p.Ink, true },
        { "Menu.Item.Desc", 17, p.InkDim, false },
        { "Tab.Selected.Active", 21, p.TabActiveText, true },
        { "Tab.Selected.Normal", 21, p.AccentText, true },
        { "Search.Result.Count", 17, p.InkDim, false },
        { "Tags.Desc", 17, p.InkDim, false },
        { "Lyrics.Text", 21, p.Ink, false },
        { "Lyrics.Current", 21, p.AccentText, true },
        { "Settings.vantor", 36, p.Bright, true },
        { "Settings.Version", 17, p.InkDim, false },
        { "Settings.MenuItem", 21, p.Ink, false },
        { "GroupLetter.Caption", 26, p.Ink, true },
        { "Eq.Desc", 17, p.InkDim, false },
        { "Eq.Scale", 14, p.InkDim, false },
    };

    std::ofstream out(g_root / "ThemeData.qxs", std::ios::binary);
    out << "[#Info]\nName=" << p.Name << "\nAuthor=the Vantor team\n\n[Controls]\n";
    for (const std::string& line : g_controlLines)
        out << line << "\n";
    out << "\n[Fonts]\n";
    for (auto const& f : fonts)
        out << f.Key << "=Name(Open Sans) Size(" << f.Size << ") Color(" << Argb(f.Color) << ") Bold("
            << (f.Bold ? 1 : 0) << ")\n";
    out << "\n[Colors]\nPlaylist.Back=Color(" << Argb(p.Panel) << ")\n";
    // The equalizer's response curve: the accent line over a faint fill, on a quiet grid.
    out << "Eq.Curve=Color(" << Argb(p.Accent) << ")\nEq.Curve.Fill=Color(" << Argb(p.Accent).replace(1, 2, "38")
        << ")\nEq.Grid=Color(" << Argb(p.EqGrid) << ")\nEq.Grid.Zero=Color(" << Argb(p.EqGridZero) << ")\n";
}

}

int main(int argc, char** argv)
{
    bool const light = argc == 3 && std::string(argv[2]) == "light";
    if (argc != 2 && !light) {
        std::fprintf(stderr, "usage: %s <theme folder> [light]\n", argv[0]);
        return 2;
    }
    UsePalette(light ? kLight : kDark);
    g_root = argv[1];
    fs::remove_all(g_root / "Controls");
    fs::remove_all(g_root / "Icons");
    Controls();
    Icons();
    ThemeFile();
    return 0;
}
