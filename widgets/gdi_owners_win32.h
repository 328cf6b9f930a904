#pragma once
// One small move-only owner per kind of GDI resource, so every DC, bitmap, brush, font and pen is released
// on every path. Borrowed handles (stock objects, shared loans) are never put into an owner.
#include <windows.h>

#include <utility>

namespace gdi {

// Counts the owners holding a handle right now; tests compare it with a baseline to find leaks.
int LiveObjects();
void CountLive(int delta);

// DeleteObject for bitmaps, brushes, fonts and pens.
template <class Handle>
class GdiOwner {
 public:
  GdiOwner() = default;
  explicit GdiOwner(Handle handle) : handle_(handle) {
    if (handle_ != nullptr) CountLive(1);
  }
  ~GdiOwner() { Reset(); }
  GdiOwner(GdiOwner&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  GdiOwner& operator=(GdiOwner&& other) noexcept {
    if (this != &other) {
      Reset();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }
  GdiOwner(const GdiOwner&) = delete;
  GdiOwner& operator=(const GdiOwner&) = delete;

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  void Reset(Handle handle = nullptr) {
    if (handle_ != nullptr) {
      DeleteObject(handle_);
      CountLive(-1);
    }
    handle_ = handle;
    if (handle_ != nullptr) CountLive(1);
  }
  // Hands the handle to a new owner outside this family (a window that deletes it, say).
  Handle Release() {
    if (handle_ != nullptr) CountLive(-1);
    return std::exchange(handle_, nullptr);
  }

 private:
  Handle handle_ = nullptr;
};

using BitmapOwner = GdiOwner<HBITMAP>;
using BrushOwner = GdiOwner<HBRUSH>;
using FontOwner = GdiOwner<HFONT>;
using PenOwner = GdiOwner<HPEN>;

// A memory DC from CreateCompatibleDC, deleted with DeleteDC.
class DcOwner {
 public:
  explicit DcOwner(HDC dc) : dc_(dc) {
    if (dc_ != nullptr) CountLive(1);
  }
  ~DcOwner() {
    if (dc_ != nullptr) {
      DeleteDC(dc_);
      CountLive(-1);
    }
  }
  DcOwner(const DcOwner&) = delete;
  DcOwner& operator=(const DcOwner&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// A window's DC from GetDC, given back with ReleaseDC.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// BeginPaint / EndPaint.
class PaintScope {
 public:
  explicit PaintScope(HWND window) : window_(window) { dc_ = BeginPaint(window_, &paint_); }
  ~PaintScope() { EndPaint(window_, &paint_); }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  HDC get() const { return dc_; }
  const RECT& area() const { return paint_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_ = nullptr;
};

// Selects an object into a DC and restores the previous one. Declare it after the owner of the object, so
// it is destroyed first and the object is no longer selected when it is deleted.
class SelectGuard {
 public:
  SelectGuard(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object != nullptr ? SelectObject(dc, object) : nullptr) {}
  ~SelectGuard() {
    if (previous_ != nullptr) SelectObject(dc_, previous_);
  }
  SelectGuard(const SelectGuard&) = delete;
  SelectGuard& operator=(const SelectGuard&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace gdi
