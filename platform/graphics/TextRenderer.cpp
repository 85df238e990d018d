#include "platform/graphics/TextRenderer.h"

#include "platform/graphics/CanvasTarget.h"

#include <cairo.h>
#include <pango/pangocairo.h>
#include <pixman.h>

#include <algorithm>
#include <functional>
#include <list>
#include <string>
#include <unordered_map>

namespace vantor {

namespace {

// Enough for every text of a full window; older layouts are dropped first.
constexpr size_t LayoutCacheSize = 4096;
// Points beyond this are refused by Pango anyway and would overflow its fixed-point units.
constexpr int MaxPoints = 1000;
// Layout widths and heights are clamped so that Pango's fixed-point units cannot overflow.
constexpr int MaxExtent = 1 << 20;
// Text covering more pixels than this (a long wrapped text) is drawn without a kept mask.
constexpr int64_t MaxMaskPixels = int64_t(1) << 20;
// All kept masks together stay below this; the least recently used layouts go first.
constexpr int64_t MaskBudget = int64_t(32) << 20;

// What shapes a layout; colour and position do not.
struct TLayoutKey {
    std::string_view Family;
    int Size = 0;
    bool Bold = false;
    bool Italic = false;
    std::string_view Text;
    int Width = -1;  // -1: no width limit
    int Height = -1; // -1: no height limit
    TTextFlags Flags = 0;

    friend bool operator==(const TLayoutKey&, const TLayoutKey&) = default;
};

struct TLayoutKeyHash {
    size_t operator()(const TLayoutKey& k) const
    {
        size_t h = std::hash<std::string_view> {}(k.Text);
        auto mix = [&h](size_t v) { h ^= v + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2); };
        mix(std::hash<std::string_view> {}(k.Family));
        mix(size_t(k.Size) << 2 | size_t(k.Bold) << 1 | size_t(k.Italic));
        mix(size_t(uint32_t(k.Width)) << 32 | uint32_t(k.Height));
        mix(k.Flags);
        return h;
    }
};

// A shaped layout and, once drawn, its glyphs rendered as a coverage mask: repainting the
// text is then one composite of the font colour through the mask.
struct TCachedLayout {
    TCachedLayout() = default;
    TCachedLayout(const TCachedLayout&) = delete;
    TCachedLayout& operator=(const TCachedLayout&) = delete;
    ~TCachedLayout()
    {
        if (Mask)
            pixman_image_unref(Mask);
        if (MaskSurface)
            cairo_surface_destroy(MaskSurface);
        if (Layout)
            g_object_unref(Layout);
    }

    std::string Family; // owned copies the key's views point into
    std::string Text;
    TLayoutKey Key;
    PangoLayout* Layout = nullptr;
    PangoRectangle Logical {}; // pixels
    bool MaskMade = false;
    cairo_surface_t* MaskSurface = nullptr; // A8, null when nothing is inked or too large
    pixman_image_t* Mask = nullptr;
    PangoRectangle Ink {}; // pixels, relative to the layout's origin
    bool Blank = false;    // nothing inked: spaces only
};

// Pango objects belong to one thread; each thread that draws or measures gets its own.
class TTextState {
public:
    TTextState()
    {
        // A font map of our own, released with this state, rather than the default one that
        // Pango keeps per thread until the process ends.
        m_fontMap = pango_cairo_font_map_new();
        m_context = pango_font_map_create_context(m_fontMap);
        cairo_font_options_t* options = cairo_font_options_create();
        // Unhinted metrics keep widths proportional to the size, so logical measurements
        // times the UI scale match what is drawn at the scaled size.
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
        cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
        pango_cairo_context_set_font_options(m_context, options);
        cairo_font_options_destroy(options);
        pango_cairo_context_set_resolution(m_context, 96.0);
    }

    ~TTextState()
    {
        m_index.clear();
        m_entries.clear();
        for (auto& [color, image] : m_solids)
            pixman_image_unref(image);
        g_object_unref(m_context);
        g_object_unref(m_fontMap);
    }

    TTextState(const TTextState&) = delete;
    TTextState& operator=(const TTextState&) = delete;

    TCachedLayout& Layout(const TLayoutKey& key)
    {
        auto found = m_index.find(key);
        if (found != m_index.end()) {
            m_entries.splice(m_entries.begin(), m_entries, found->second);
            return *found->second;
        }
        while (m_entries.size() >= LayoutCacheSize)
            DropOldest();
        m_entries.emplace_front();
        TCachedLayout& entry = m_entries.front();
        entry.Family = std::string(key.Family);
        entry.Text = std::string(key.Text);
        entry.Key = key;
        entry.Key.Family = entry.Family;
        entry.Key.Text = entry.Text;
        entry.Layout = Build(entry.Key);
        pango_layout_get_pixel_extents(entry.Layout, nullptr, &entry.Logical);
        m_index.emplace(entry.Key, m_entries.begin());
        return entry;
    }

    // The glyph coverage of a layout, rendered on first use.
    pixman_image_t* MaskOf(TCachedLayout& entry)
    {
        if (entry.MaskMade)
            return entry.Mask;
        entry.MaskMade = true;
        pango_layout_get_pixel_extents(entry.Layout, &entry.Ink, nullptr);
        entry.Blank = entry.Ink.width <= 0 || entry.Ink.height <= 0;
        // Hinting may move outlines a little outside the measured ink.
        entry.Ink.x -= 1;
        entry.Ink.y -= 1;
        entry.Ink.width += 2;
        entry.Ink.height += 2;
        if (entry.Blank || int64_t(entry.Ink.width) * entry.Ink.height > MaxMaskPixels)
            return nullptr;
        entry.MaskSurface = cairo_image_surface_create(CAIRO_FORMAT_A8, entry.Ink.width, entry.Ink.height);
        cairo_t* cr = cairo_create(entry.MaskSurface);
        cairo_move_to(cr, -entry.Ink.x, -entry.Ink.y);
        pango_cairo_show_layout(cr, entry.Layout);
        cairo_destroy(cr);
        cairo_surface_flush(entry.MaskSurface);
        if (cairo_surface_status(entry.MaskSurface) != CAIRO_STATUS_SUCCESS) {
            cairo_surface_destroy(entry.MaskSurface);
            entry.MaskSurface = nullptr;
            return nullptr;
        }
        m_maskPixels += int64_t(entry.Ink.width) * entry.Ink.height;
        // The entry being drawn is the most recent one, so it is never dropped here.
        while (m_maskPixels > MaskBudget && m_entries.size() > 1)
            DropOldest();
        entry.Mask = pixman_image_create_bits(PIXMAN_a8, entry.Ink.width, entry.Ink.height,
            reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(entry.MaskSurface)),
            cairo_image_surface_get_stride(entry.MaskSurface));
        return entry.Mask;
    }

    // A solid source of an ARGB colour; the few colours a theme uses are kept.
    pixman_image_t* Solid(uint32_t argb)
    {
        auto found = m_solids.find(argb);
        if (found != m_solids.end())
            return found->second;
        if (m_solids.size() >= 64) {
            for (auto& [color, image] : m_solids)
                pixman_image_unref(image);
            m_solids.clear();
        }
        uint32_t const a = argb >> 24;
        auto channel = [a](uint32_t c) { return uint16_t(c * 257 * a / 255); }; // premultiplied
        pixman_color_t const color { channel((argb >> 16) & 0xFF), channel((argb >> 8) & 0xFF), channel(argb & 0xFF),
            uint16_t(a * 257) };
        pixman_image_t* image = pixman_image_create_solid_fill(&color);
        m_solids.emplace(argb, image);
        return image;
    }

private:
    void DropOldest()
    {
        TCachedLayout& oldest = m_entries.back();
        if (oldest.MaskSurface)
            m_maskPixels -= int64_t(oldest.Ink.width) * oldest.Ink.height;
        m_index.erase(oldest.Key);
        m_entries.pop_back();
    }

    PangoLayout* Build(const TLayoutKey& key)
    {
        PangoLayout* layout = pango_layout_new(m_context);
        PangoFontDescription* description = pango_font_description_new();
        pango_font_description_set_family(description, std::string(key.Family).c_str());
        pango_font_description_set_absolute_size(description, key.Size * 96.0 / 72.0 * PANGO_SCALE);
        pango_font_description_set_weight(description, key.Bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
        pango_font_description_set_style(description, key.Italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
        pango_layout_set_font_description(layout, description);
        pango_font_description_free(description);

        pango_layout_set_single_paragraph_mode(layout, (key.Flags & tfSingleLine) != 0);
        if (key.Width >= 0) {
            pango_layout_set_width(layout, key.Width * PANGO_SCALE);
            pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
        }
        if (key.Height >= 0)
            pango_layout_set_height(layout, key.Height * PANGO_SCALE);
        if (key.Flags & tfEndEllipsis)
            pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
        PangoAlignment alignment = PANGO_ALIGN_LEFT;
        if (key.Flags & tfCenter)
            alignment = PANGO_ALIGN_CENTER;
        else if (key.Flags & tfRight)
            alignment = PANGO_ALIGN_RIGHT;
        pango_layout_set_alignment(layout, alignment);
        pango_layout_set_text(layout, key.Text.data(), int(key.Text.size()));
        return layout;
    }

    PangoFontMap* m_fontMap = nullptr;
    PangoContext* m_context = nullptr;
    std::list<TCachedLayout> m_entries; // most recently used first
    std::unordered_map<TLayoutKey, std::list<TCachedLayout>::iterator, TLayoutKeyHash> m_index;
    std::unordered_map<uint32_t, pixman_image_t*> m_solids;
    int64_t m_maskPixels = 0;
};

TTextState& State()
{
    thread_local TTextState state;
    return state;
}

// Pango takes the text's bytes as UTF-8 and refuses invalid sequences, so such text is
// drawn with replacement characters instead of vanishing.
std::string_view ValidText(std::string_view text, std::string& repaired)
{
    if (g_utf8_validate(text.data(), gssize(text.size()), nullptr))
        return text;
    gchar* valid = g_utf8_make_valid(text.data(), gssize(text.size()));
    repaired = valid;
    g_free(valid);
    return repaired;
}

TLayoutKey KeyFor(const TFont& font, std::string_view text)
{
    TLayoutKey key;
    key.Family = font.Name;
    key.Size = std::clamp(font.Size, 1, MaxPoints);
    key.Bold = font.Bold;
    key.Italic = font.Italic;
    key.Text = text;
    return key;
}

}

void DrawText(TBitmap& canvas, const TFont& font, std::string_view text, const TRect& rect, TTextFlags flags)
{
    cairo_t* cr = canvas.Context();
    if (!cr || text.empty() || rect.IsEmpty())
        return;
    std::string repaired;
    TLayoutKey key = KeyFor(font, ValidText(text, repaired));
    key.Flags = flags;
    bool const singleLine = (flags & tfSingleLine) != 0;
    bool const wrap = (flags & tfWordBreak) != 0 && !singleLine;
    bool const ellipsis = (flags & tfEndEllipsis) != 0;
    if (wrap || ellipsis)
        key.Width = std::min(rect.Width(), MaxExtent);
    if (wrap && ellipsis)
        key.Height = std::min(rect.Height(), MaxExtent);
    TTextState& state = State();
    TCachedLayout& layout = state.Layout(key);

    // A layout with a width aligns its lines itself; one without is placed as a whole.
    PangoRectangle const& logical = layout.Logical;
    int x = rect.Left;
    if (key.Width < 0) {
        x -= logical.x;
        if (flags & tfCenter)
            x += (rect.Width() - logical.width) / 2;
        else if (flags & tfRight)
            x += rect.Width() - logical.width;
    }
    int y = rect.Top - logical.y;
    if (flags & tfVCenter)
        y += (rect.Height() - logical.height) / 2;
    else if (flags & tfBottom)
        y += rect.Height() - logical.height;

    uint32_t const color = (font.Color >> 24) == 0 ? (font.Color | 0xFF000000) : font.Color;
    uint32_t const alpha = color >> 24;

    TCanvasTarget target;
    if (OpenCanvasTarget(canvas, target)) {
        pixman_image_t* mask = state.MaskOf(layout);
        if (mask || layout.Blank) {
            TRect const inked = TRect::FromSize(x + layout.Ink.x, y + layout.Ink.y, layout.Ink.width, layout.Ink.height)
                                    .Offset(target.OffsetX, target.OffsetY);
            TRect const visible = inked.Intersect(rect.Offset(target.OffsetX, target.OffsetY)).Intersect(target.Clip);
            if (!mask || visible.IsEmpty())
                return;
            pixman_image_composite32(PIXMAN_OP_OVER, state.Solid(color), mask, target.Image, 0, 0,
                visible.Left - inked.Left, visible.Top - inked.Top, visible.Left, visible.Top, visible.Width(),
                visible.Height());
            CloseCanvasTarget(canvas, visible);
            return;
        }
    }

    cairo_save(cr);
    cairo_rectangle(cr, rect.Left, rect.Top, rect.Width(), rect.Height());
    cairo_clip(cr);
    cairo_set_source_rgba(
        cr, ((color >> 16) & 0xFF) / 255.0, ((color >> 8) & 0xFF) / 255.0, (color & 0xFF) / 255.0, alpha / 255.0);
    cairo_move_to(cr, x, y);
    pango_cairo_show_layout(cr, layout.Layout);
    cairo_restore(cr);
}

TTextExtent MeasureText(const TFont& font, std::string_view text)
{
    std::string repaired;
    TCachedLayout const& layout = State().Layout(KeyFor(font, ValidText(text, repaired)));
    return { layout.Logical.width, layout.Logical.height };
}

}

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VANTOR_LEAK_CHECKED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(VANTOR_LEAK_CHECKED)
// Fontconfig keeps a few blocks of its parsed configuration unreferenced for the life of the
// process; every program that draws text inherits this hook so leak checks stay meaningful.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#endif
