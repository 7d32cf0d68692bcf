// Small value types of the framework: points and rectangles in pixels.
#pragma once
#include <windows.h>

class CPoint : public POINT {
public:
    CPoint() { x = 0; y = 0; }
    CPoint(int nx, int ny) { x = nx; y = ny; }
    CPoint(POINT pt) { x = pt.x; y = pt.y; }
    bool operator==(const CPoint& o) const { return x == o.x && y == o.y; }
};

class CRect : public RECT {
public:
    CRect() { left = top = right = bottom = 0; }
    CRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
    CRect(const RECT& rc) { left = rc.left; top = rc.top; right = rc.right; bottom = rc.bottom; }
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    // Left and top edges are inside, right and bottom edges outside.
    BOOL PtInRect(POINT pt) const { return ::PtInRect(this, pt); }
    bool operator==(const RECT& o) const { return left == o.left && top == o.top && right == o.right && bottom == o.bottom; }
    bool operator!=(const RECT& o) const { return !(*this == o); }
    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }
};
