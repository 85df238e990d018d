#pragma once

namespace vantor {

struct TPoint {
    int X = 0;
    int Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

// A rectangle by its edges; Right and Bottom are exclusive.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    static TRect FromSize(int left, int top, int width, int height)
    {
        return { left, top, left + width, top + height };
    }

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    TRect Offset(int dx, int dy) const { return { Left + dx, Top + dy, Right + dx, Bottom + dy }; }
    TRect Intersect(const TRect& other) const;
    TRect Union(const TRect& other) const;

    friend bool operator==(const TRect&, const TRect&) = default;
};

inline TRect TRect::Intersect(const TRect& o) const
{
    TRect r { Left > o.Left ? Left : o.Left, Top > o.Top ? Top : o.Top, Right < o.Right ? Right : o.Right,
        Bottom < o.Bottom ? Bottom : o.Bottom };
    if (r.IsEmpty())
        return {};
    return r;
}

inline TRect TRect::Union(const TRect& o) const
{
    if (IsEmpty())
        return o;
    if (o.IsEmpty())
        return *this;
    return { Left < o.Left ? Left : o.Left, Top < o.Top ? Top : o.Top, Right > o.Right ? Right : o.Right,
        Bottom > o.Bottom ? Bottom : o.Bottom };
}

}
