// Plain value types shared by the toolkit's arithmetic. No Windows header here: this code
// also builds natively for the sanitizer runs.
#pragma once
#include <algorithm>
#include <cstdint>

struct VxRc {
  int left = 0, top = 0, right = 0, bottom = 0;

  constexpr VxRc() = default;
  constexpr VxRc(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}

  constexpr int Width() const { return right - left; }
  constexpr int Height() const { return bottom - top; }
  constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
  // Same rule as PtInRect: the right and bottom edges are outside.
  constexpr bool Contains(int x, int y) const {
    return x >= left && x < right && y >= top && y < bottom;
  }
  constexpr bool Intersects(const VxRc& o) const {
    return !IsEmpty() && !o.IsEmpty() && left < o.right && o.left < right && top < o.bottom &&
           o.top < bottom;
  }
  VxRc Union(const VxRc& o) const {
    if (IsEmpty()) return o;
    if (o.IsEmpty()) return *this;
    return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right),
            std::max(bottom, o.bottom)};
  }
  constexpr bool operator==(const VxRc& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
  constexpr bool operator!=(const VxRc& o) const { return !(*this == o); }
};

struct VxPt {
  int x = 0, y = 0;
  constexpr bool operator==(const VxPt& o) const { return x == o.x && y == o.y; }
};

// The rectangle a rubber band spans from where the press began to where the pointer is,
// whichever way it was dragged.
constexpr VxRc VxBandRect(VxPt from, VxPt to) {
  return {std::min(from.x, to.x), std::min(from.y, to.y), std::max(from.x, to.x),
          std::max(from.y, to.y)};
}

// The part of `a` that lies in `b`; empty (all zero) when they do not meet.
constexpr VxRc VxIntersection(const VxRc& a, const VxRc& b) {
  const VxRc r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
               std::min(a.bottom, b.bottom)};
  return r.IsEmpty() ? VxRc{} : r;
}

// A source or destination rectangle given as origin and size.
struct VxXYWH {
  int x = 0, y = 0, w = 0, h = 0;
  constexpr bool operator==(const VxXYWH& o) const {
    return x == o.x && y == o.y && w == o.w && h == o.h;
  }
};

struct VxPtF {
  float x = 0, y = 0;
};
