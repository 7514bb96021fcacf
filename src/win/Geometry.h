// Small value types for points and rectangles, so handlers do their
// arithmetic here instead of on raw RECT fields.
#pragma once

#include "win/Win32.h"

namespace win {

struct Point {
    int x = 0;
    int y = 0;

    constexpr Point() = default;
    constexpr Point(int px, int py) : x(px), y(py) {}
    constexpr Point(const POINT& p) : x(p.x), y(p.y) {}  // NOLINT: implicit on purpose

    constexpr POINT ToPOINT() const { return POINT{x, y}; }
    constexpr Point Offset(int dx, int dy) const { return {x + dx, y + dy}; }

    friend constexpr bool operator==(const Point&, const Point&) = default;
};

// Left and top belong to the rectangle, right and bottom do not (the
// platform's PtInRect rule). A Rect converts from and to RECT.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr Rect() = default;
    constexpr Rect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
    constexpr Rect(const RECT& r) : left(r.left), top(r.top), right(r.right), bottom(r.bottom) {}  // NOLINT
    static constexpr Rect FromSize(int x, int y, int width, int height) {
        return {x, y, x + width, y + height};
    }

    constexpr RECT ToRECT() const { return RECT{left, top, right, bottom}; }

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr Point TopLeft() const { return {left, top}; }
    constexpr Point BottomRight() const { return {right, bottom}; }
    // Integer centre, truncating toward zero like (left + right) / 2.
    constexpr Point Center() const { return {(left + right) / 2, (top + bottom) / 2}; }

    // No area: zero or negative width or height.
    constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
    // All four coordinates 0.
    constexpr bool IsNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }

    constexpr bool Contains(Point p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }

    constexpr Rect Offset(int dx, int dy) const {
        return {left + dx, top + dy, right + dx, bottom + dy};
    }
    // Grows every side by d (shrinks when d is negative).
    constexpr Rect Inflate(int d) const { return Inflate(d, d); }
    constexpr Rect Inflate(int dx, int dy) const {
        return {left - dx, top - dy, right + dx, bottom + dy};
    }
    constexpr Rect Deflate(int d) const { return Inflate(-d, -d); }
    // Swaps the edges where left > right or top > bottom.
    constexpr Rect Normalized() const {
        Rect r = *this;
        if (r.left > r.right) { int t = r.left; r.left = r.right; r.right = t; }
        if (r.top > r.bottom) { int t = r.top; r.top = r.bottom; r.bottom = t; }
        return r;
    }
    // The common part, or an all-zero rectangle when there is none.
    constexpr Rect Intersect(const Rect& o) const {
        Rect r{left > o.left ? left : o.left, top > o.top ? top : o.top,
               right < o.right ? right : o.right, bottom < o.bottom ? bottom : o.bottom};
        return r.IsEmpty() ? Rect{} : r;
    }

    friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace win
