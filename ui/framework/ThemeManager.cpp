#include "ui/framework/ThemeManager.h"

#include "base/CaseFold.h"
#include "base/IniFile.h"
#include "platform/graphics/PngImage.h"
#include "platform/graphics/TextRenderer.h"
#include "ui/framework/ThemeParams.h"
#include "ui/framework/UIScale.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace vantor {

namespace fs = std::filesystem;

namespace {

constexpr int32_t DefaultThemeColor = -921103; // $FFF1F1F1
// Stretched copies larger than this are drawn straight from the image instead of cached.
constexpr int64_t MaxCachedPixels = int64_t(1) << 24;
// Lookup results kept per mode; views use a bounded set of keys, so this is never reached
// in practice and only guards against keys built from unbounded data.
constexpr size_t MaxCachedLookups = 4096;
// Device rectangles are clamped to what Cairo's fixed-point coordinates can hold, which also
// keeps their widths and heights from overflowing.
constexpr int64_t CoordinateLimit = int64_t(1) << 22;

int ClampCoordinate(int64_t v) { return int(std::clamp(v, -CoordinateLimit, CoordinateLimit)); }

// ".png" anywhere in the name, in any case, is taken out to give the entry name.
std::string WithoutPngExtension(const std::string& fileName)
{
    std::string result;
    for (size_t i = 0; i < fileName.size();) {
        if (i + 4 <= fileName.size() && EqualsNoCase(std::string_view(fileName).substr(i, 4), ".png")) {
            i += 4;
            continue;
        }
        result += fileName[i++];
    }
    return result;
}

TRect ReadEdges(std::string_view value, std::string_view name)
{
    std::string_view const content = ThemeParamText(value, name, '(', "");
    return { ThemeParamInt(content, "Left", '[', 0), ThemeParamInt(content, "Top", '[', 0),
        ThemeParamInt(content, "Right", '[', 0), ThemeParamInt(content, "Bottom", '[', 0) };
}

TFont ReadFont(std::string_view value)
{
    TFont font;
    font.Name = std::string(ThemeParamText(value, "Name", '(', font.Name));
    font.Size = ThemeParamInt(value, "Size", '(', 12);
    font.Color = uint32_t(ThemeParamInt(value, "Color", '(', DefaultThemeColor));
    font.Bold = ThemeParamText(value, "Bold", '(', "0") == "1";
    font.Italic = ThemeParamText(value, "Italic", '(', "0") == "1";
    return font;
}

TThemeInfo InfoOf(const TIniFile& file, std::string_view folderName, std::string_view unknownAuthor)
{
    return { file.ReadString("#Info", "Name", folderName), file.ReadString("#Info", "Author", unknownAuthor) };
}

TRect ToDevice(const TRect& logical)
{
    return { ClampCoordinate(Scale(logical.Left)), ClampCoordinate(Scale(logical.Top)),
        ClampCoordinate(Scale(logical.Right)), ClampCoordinate(Scale(logical.Bottom)) };
}

}

TSkinData::TSkinData()
{
    auto initial = std::make_unique<TCachedImage>();
    initial->ciID = "default";
    sdCachedList.push_back(std::move(initial));
}

TThemeManager::TThemeManager() = default;
TThemeManager::~TThemeManager() = default;

bool TThemeManager::Load(const std::string& path)
{
    std::error_code error;
    if (!fs::is_regular_file(path, error))
        return false;

    ssDataList.clear();
    m_drawLookups.clear();
    m_exactLookups.clear();

    TIniFile const file(path);
    fs::path const folder = fs::path(path).parent_path();
    for (std::string_view groupID : { "Controls", "Icons" }) {
        for (fs::directory_iterator it(folder / groupID, error), end; !error && it != end; it.increment(error)) {
            std::string const fileName = it->path().filename().string();
            std::error_code typeError;
            if (fileName.find(".png") == std::string::npos || it->is_directory(typeError))
                continue;
            std::string const name = WithoutPngExtension(fileName);
            TSkinData& data = EntryFor(GroupFor(groupID), name);
            data.sdFile = it->path().string();

            std::string const value = file.ReadString(groupID, name, "");
            if (value.find("Margins(") != std::string::npos) {
                data.sdMode = TResizeMode::rmFull;
                data.sdMargins = ReadEdges(value, "Margins");
            }
            if (value.find("Offset(") != std::string::npos)
                data.sdOffset = ReadEdges(value, "Offset");
        }
        error.clear();
    }

    for (const std::string& key : file.ReadSection("Fonts")) {
        EntryFor(GroupFor("Fonts"), key).sdFont = ReadFont(file.ReadString("Fonts", key, ""));
    }
    for (const std::string& key : file.ReadSection("Colors")) {
        std::string const value = file.ReadString("Colors", key, "");
        EntryFor(GroupFor("Color"), key).sdColor = uint32_t(ThemeParamInt(value, "Color", '(', DefaultThemeColor));
    }

    m_info = InfoOf(file, folder.filename().string(), UnknownAuthor);
    return true;
}

void TThemeManager::Decode(TSkinData& data)
{
    data.sdImage = LoadPngFile(data.sdFile);
    data.sdFile.clear();
    data.sdPattern.Bind(data.sdImage);
    for (auto& cached : data.sdCachedList) {
        cached->ciPattern.Reset();
        cached->ciImage.SetSize(0, 0);
    }
    // An image that does not decode leaves the entry without one: it draws nothing.
    data.sdStatus = data.sdImage.IsEmpty() ? TSkindataStatus::sdLoading : TSkindataStatus::sdReady;
    if (data.sdMode == TResizeMode::rmFull)
        data.sdNineSlice.Build(data.sdImage, data.sdMargins);
}

TThemeInfo TThemeManager::ReadInfo(const std::string& path, std::string_view folderName, std::string_view unknownAuthor)
{
    return InfoOf(TIniFile(path), folderName, unknownAuthor);
}

TSkinGroup& TThemeManager::GroupFor(std::string_view groupID)
{
    for (auto& group : ssDataList)
        if (group->sgID == groupID)
            return *group;
    auto group = std::make_unique<TSkinGroup>();
    group->sgID = std::string(groupID);
    ssDataList.push_back(std::move(group));
    return *ssDataList.back();
}

TSkinData& TThemeManager::EntryFor(TSkinGroup& group, std::string_view name)
{
    for (auto& data : group.sgDataList)
        if (data->sdID == name)
            return *data;
    auto data = std::make_unique<TSkinData>();
    data->sdID = std::string(name);
    group.sgDataList.push_back(std::move(data));
    return *group.sgDataList.back();
}

TSkinData* TThemeManager::Find(std::string_view skinID, bool groupIgnoresCase) const
{
    auto& lookups = groupIgnoresCase ? m_drawLookups : m_exactLookups;
    if (auto found = lookups.find(skinID); found != lookups.end())
        return found->second;

    TSkinData* result = nullptr;
    size_t const colon = skinID.find(':');
    if (colon != std::string_view::npos) {
        std::string_view const groupID = skinID.substr(0, colon);
        std::string_view const name = skinID.substr(colon + 1);
        for (const auto& group : ssDataList) {
            if (groupIgnoresCase ? !EqualsNoCase(group->sgID, groupID) : group->sgID != groupID)
                continue;
            // The first group of that name decides, found or not.
            for (const auto& data : group->sgDataList) {
                if (EqualsNoCase(data->sdID, name)) {
                    result = data.get();
                    break;
                }
            }
            break;
        }
    }
    if (result && !result->sdFile.empty())
        Decode(*result);
    if (lookups.size() >= MaxCachedLookups)
        lookups.clear();
    lookups.emplace(std::string(skinID), result);
    return result;
}

TSkinData* TThemeManager::GetSkinData(std::string_view skinID) const { return Find(skinID, false); }

const TFont* TThemeManager::GetFont(std::string_view fontID) const
{
    if (!fontID.starts_with("Fonts:"))
        return nullptr;
    TSkinData const* data = Find(fontID, false);
    return data ? &data->sdFont : nullptr;
}

uint32_t TThemeManager::Color(std::string_view colorID) const
{
    if (!colorID.starts_with("Color:"))
        return ThemeDefaultColor;
    TSkinData const* data = Find(colorID, false);
    return data ? data->sdColor : ThemeDefaultColor;
}

void TThemeManager::Draw(std::string_view skinID, TBitmap& canvas, std::string_view cacheID, const TRect& rect)
{
    TSkinData* data = Find(skinID, true);
    if (!data || data->sdStatus != TSkindataStatus::sdReady || data->sdImage.IsEmpty())
        return;
    TRect const device = ToDevice(rect);
    if (data->sdMode == TResizeMode::rmStretch)
        DrawStretch(*data, canvas, cacheID, device);
    else
        DrawNineSlice(*data, canvas, device);
}

void TThemeManager::Draw(std::string_view skinID, TBitmap& canvas, const TDrawPoint& point)
{
    Draw(skinID, canvas, "", point.Rect());
}

void TThemeManager::DrawStretch(TSkinData& data, TBitmap& canvas, std::string_view cacheID, const TRect& device)
{
    int const width = device.Width();
    int const height = device.Height();
    if (width <= 0 || height <= 0)
        return;
    TRect const whole = TRect::FromSize(0, 0, data.sdImage.Width(), data.sdImage.Height());
    if (int64_t(width) * height > MaxCachedPixels) {
        data.sdPattern.Blend(canvas, whole, device);
        return;
    }

    auto found = std::find_if(data.sdCachedList.begin(), data.sdCachedList.end(),
        [cacheID](const auto& cached) { return cached->ciID == cacheID; });
    if (found == data.sdCachedList.end()) {
        auto cached = std::make_unique<TCachedImage>();
        cached->ciID = std::string(cacheID);
        data.sdCachedList.push_back(std::move(cached));
        found = data.sdCachedList.end() - 1;
    }
    TCachedImage& cached = **found;
    if (cached.ciImage.Width() != width || cached.ciImage.Height() != height) {
        data.sdStatus = TSkindataStatus::sdResizing;
        cached.ciPattern.Reset();
        cached.ciImage.SetSize(width, height);
        data.sdPattern.Blend(cached.ciImage, whole, TRect::FromSize(0, 0, width, height));
        cached.ciPattern.Bind(cached.ciImage);
        ++cached.ciBuilds;
        data.sdStatus = TSkindataStatus::sdReady;
    }
    cached.ciPattern.Blend(canvas, device.Left, device.Top);
}

void TThemeManager::DrawNineSlice(TSkinData& data, TBitmap& canvas, const TRect& device)
{
    // Offsets let shadows and glows reach outside the control's rectangle.
    TRect const grown { ClampCoordinate(int64_t(device.Left) - data.sdOffset.Left),
        ClampCoordinate(int64_t(device.Top) - data.sdOffset.Top),
        ClampCoordinate(int64_t(device.Right) + data.sdOffset.Right),
        ClampCoordinate(int64_t(device.Bottom) + data.sdOffset.Bottom) };
    data.sdNineSlice.Draw(canvas, grown);
}

void TThemeManager::TextOut(
    std::string_view text, std::string_view fontID, TTextFlags flags, const TRect& rect, TBitmap& canvas) const
{
    if (const TFont* font = GetFont(fontID)) {
        canvas.Font = *font;
        canvas.Font.Size = Scale(font->Size);
    }
    DrawText(canvas, canvas.Font, text, ToDevice(rect), flags);
}

int TThemeManager::TextWidth(std::string_view fontID, std::string_view text, int defaultWidth) const
{
    const TFont* font = GetFont(fontID);
    return font ? MeasureText(*font, text).Width : defaultWidth;
}

int TThemeManager::FontHeight(std::string_view fontID, int defaultHeight) const
{
    const TFont* font = GetFont(fontID);
    return font ? MeasureText(*font, "Text").Height : defaultHeight;
}

}
