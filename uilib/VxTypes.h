#pragma once
// Small value types the toolkit's interfaces use on the Windows side.
#include <windows.h>

#include <string>
#include <vector>

#include "uilib/core/vx_geom.h"

using CString = std::wstring;
using CStringArray = std::vector<std::wstring>;

// RECT with the arithmetic the toolkit needs.
struct CRect : RECT {
  CRect() : RECT{0, 0, 0, 0} {}
  CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
  CRect(const RECT& r) : RECT(r) {}  // NOLINT: a RECT is a CRect
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool IsRectEmpty() const { return right <= left || bottom <= top; }
  bool PtInRect(POINT p) const { return ::PtInRect(this, p) != FALSE; }
  void SetRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
  void SetRectEmpty() { left = top = right = bottom = 0; }
  void OffsetRect(int dx, int dy) { left += dx; right += dx; top += dy; bottom += dy; }
  operator LPRECT() { return this; }
  operator LPCRECT() const { return this; }
  bool operator==(const RECT& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
  bool operator!=(const RECT& o) const { return !(*this == o); }
};

inline VxRc ToVx(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
inline CRect FromVx(const VxRc& r) { return CRect(r.left, r.top, r.right, r.bottom); }
inline VxPt ToVxPt(POINT p) { return {p.x, p.y}; }
inline POINT FromVxPt(VxPt p) { return POINT{p.x, p.y}; }

// UTF-16 text of the UI-free code and the wide strings of the Windows side are the same
// units (wchar_t is 16 bits on Windows).
static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide strings are UTF-16");
inline std::wstring ToW(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }
inline std::u16string ToU16(const std::wstring& s) { return std::u16string(s.begin(), s.end()); }
inline std::u16string ToU16(const wchar_t* s) { return s ? ToU16(std::wstring(s)) : std::u16string(); }
