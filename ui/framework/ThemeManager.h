#pragma once

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/ImagePattern.h"
#include "platform/graphics/NineSlice.h"
#include "platform/graphics/TextFlags.h"
#include "ui/framework/DrawPoint.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vantor {

enum class TResizeMode { rmFull, rmStretch };
enum class TSkindataStatus { sdLoading, sdResizing, sdReady };

inline constexpr uint32_t ThemeDefaultColor = 0xFFECECEC;

// A copy of an entry's image resampled to one size, kept under a cache name.
struct TCachedImage {
    std::string ciID;
    TBitmap ciImage;
    TImagePattern ciPattern; // Cairo source over ciImage, rebuilt with it
    int ciBuilds = 0;        // how often the copy was resampled
};

// One theme entry: an image (Controls, Icons), a font (Fonts) or a colour (Color).
struct TSkinData {
    TSkinData();

    std::string sdID;
    // The image file while it is not decoded yet: an image is decoded when its entry is
    // first looked up, and until then the entry has no image and stays sdLoading.
    std::string sdFile;
    TBitmap sdImage;
    TFont sdFont;
    uint32_t sdColor = 0xFFF1F1F1;
    TRect sdMargins { 10, 10, 10, 10 };
    TRect sdOffset {};
    TResizeMode sdMode = TResizeMode::rmStretch;
    TSkindataStatus sdStatus = TSkindataStatus::sdLoading;
    std::vector<std::unique_ptr<TCachedImage>> sdCachedList;
    TImagePattern sdPattern; // Cairo source over sdImage, for resampling stretched copies
    TNineSlice sdNineSlice;  // sdImage cut by sdMargins, for rmFull drawing
};

struct TSkinGroup {
    std::string sgID;
    std::vector<std::unique_ptr<TSkinData>> sgDataList;
};

// Name and author from a theme file's "#Info" section.
struct TThemeInfo {
    std::string Name;
    std::string Author;
};

// Loads a theme folder and answers the views' requests by skin key ("Group:Name"): images
// drawn into logical rectangles, fonts for text, colours. User-interface thread only.
class TThemeManager {
public:
    TThemeManager();
    ~TThemeManager();
    TThemeManager(const TThemeManager&) = delete;
    TThemeManager& operator=(const TThemeManager&) = delete;

    // Loads the theme whose theme file is path ("…/Theme/<name>/ThemeData.qxs"); the images
    // come from "Controls" and "Icons" beside it, each decoded when its entry is first looked
    // up (most are not drawn soon after start-up, if at all). When path does not exist
    // nothing changes and false is returned.
    bool Load(const std::string& path);

    // Draws the image entry into the logical rectangle rect of canvas (group and entry names
    // both ignore case). Stretch images keep a resampled copy per cacheID, so each size a view
    // uses is resampled once; the draw-point form uses the empty cacheID.
    void Draw(std::string_view skinID, TBitmap& canvas, std::string_view cacheID, const TRect& rect);
    void Draw(std::string_view skinID, TBitmap& canvas, const TDrawPoint& point);

    // The entry for a key (its image decoded), or null. Group names match exactly here, entry
    // names ignore case.
    TSkinData* GetSkinData(std::string_view skinID) const;
    // The font of a "Fonts" key, or null.
    const TFont* GetFont(std::string_view fontID) const;
    // The colour of a "Color" key, or ThemeDefaultColor.
    uint32_t Color(std::string_view colorID) const;

    // Draws text inside the logical rectangle rect. A resolving font key is copied onto the
    // canvas with its size multiplied by the UI scale; otherwise the canvas's font is used.
    void TextOut(
        std::string_view text, std::string_view fontID, TTextFlags flags, const TRect& rect, TBitmap& canvas) const;
    // Width of text and height of the sample "Text" with the unscaled theme font, in logical
    // units; the default when the key does not resolve.
    int TextWidth(std::string_view fontID, std::string_view text, int defaultWidth) const;
    int FontHeight(std::string_view fontID, int defaultHeight) const;

    // "#Info" of the loaded theme; empty before the first successful Load.
    const TThemeInfo& Info() const { return m_info; }
    // Reads "#Info" of a theme file: Name defaults to folderName, Author to unknownAuthor
    // (the translated "Unknown.ThemeAuthor").
    static TThemeInfo ReadInfo(const std::string& path, std::string_view folderName, std::string_view unknownAuthor);
    // Text Info().Author falls back to; set before Load (the locale supplies it).
    std::string UnknownAuthor;

    // The loaded groups in load order. Only Load changes them: resolved keys are remembered
    // until the next Load. Entries reached through here, not by key, may still be undecoded.
    std::vector<std::unique_ptr<TSkinGroup>> ssDataList;

private:
    TSkinData* Find(std::string_view skinID, bool groupIgnoresCase) const;
    static void Decode(TSkinData& data);
    TSkinGroup& GroupFor(std::string_view groupID);
    TSkinData& EntryFor(TSkinGroup& group, std::string_view name);
    void DrawStretch(TSkinData& data, TBitmap& canvas, std::string_view cacheID, const TRect& device);
    void DrawNineSlice(TSkinData& data, TBitmap& canvas, const TRect& device);

    TThemeInfo m_info;
    struct TKeyHash {
        using is_transparent = void;
        size_t operator()(std::string_view key) const { return std::hash<std::string_view> {}(key); }
    };
    using TLookups = std::unordered_map<std::string, TSkinData*, TKeyHash, std::equal_to<>>;
    // Resolved keys, per lookup mode, cleared by Load; views look the same keys up every paint.
    mutable TLookups m_drawLookups;
    mutable TLookups m_exactLookups;
};

}
