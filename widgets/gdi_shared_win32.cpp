#include "widgets/gdi_shared_win32.h"

#include <memory>
#include <type_traits>

#include "base/platform.h"
#include "resources/resource_ids.h"
#include "widgets/dpi_scale.h"
#include "widgets/gdi_owners_win32.h"
#include "widgets/window_class_win32.h"

namespace shared {
namespace {

struct CursorDestroyer {
  void operator()(HCURSOR cursor) const { DestroyCursor(cursor); }
};
using CursorOwner = std::unique_ptr<std::remove_pointer_t<HCURSOR>, CursorDestroyer>;

struct LinkLook {
  int users = 0;
  int dpi = 96;
  gdi::BrushOwner background;
  gdi::FontOwner bold;
  gdi::FontOwner underlined;
  CursorOwner hand;
};

struct ButtonLook {
  int users = 0;
  gdi::FontOwner font;
  gdi::BitmapOwner left[kSkinLooks];
  gdi::BitmapOwner middle[kSkinLooks];
  gdi::BitmapOwner right[kSkinLooks];
  ButtonSkins borrowed;  // the handles above, as lent to the buttons
};

LinkLook& Link() {
  static LinkLook look;
  return look;
}

ButtonLook& Button() {
  static ButtonLook look;
  return look;
}

HFONT MakeArial(int height, int weight, bool underline) {
  return CreateFontW(height, 0, 0, 0, weight, FALSE, underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Arial");
}

HBITMAP LoadSkin(HINSTANCE module, int id) {
  // A DIB section keeps the artwork's colours whatever the screen's depth.
  return static_cast<HBITMAP>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

// Resource IDs of left cap, middle and right cap per look, indexed like SkinLook.
constexpr int kSkinIds[kSkinLooks][3] = {
    {IDB_BUTTON_NORMAL_LEFT, IDB_BUTTON_NORMAL_MIDDLE, IDB_BUTTON_NORMAL_RIGHT},
    {IDB_BUTTON_HOVER_LEFT, IDB_BUTTON_HOVER_MIDDLE, IDB_BUTTON_HOVER_RIGHT},
    {IDB_BUTTON_PRESSED_LEFT, IDB_BUTTON_PRESSED_MIDDLE, IDB_BUTTON_PRESSED_RIGHT},
    {IDB_BUTTON_DEFAULT_LEFT, IDB_BUTTON_DEFAULT_MIDDLE, IDB_BUTTON_DEFAULT_RIGHT},
};

}  // namespace

bool AcquireLinkLook() {
  LinkLook& look = Link();
  if (look.users++ == 0) {
    look.background.Reset(CreateSolidBrush(kBackgroundColor));
    look.dpi = kBaseDpi;
    look.bold.Reset(MakeArial(14, FW_BOLD, false));
    look.underlined.Reset(MakeArial(14, FW_NORMAL, true));
    // A private copy of the system's hand, so that the release may destroy it.
    look.hand.reset(CopyCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND))));
  }
  return look.background && look.bold && look.underlined && look.hand;
}

void ReleaseLinkLook() {
  LinkLook& look = Link();
  if (look.users == 0 || --look.users > 0) return;
  look.hand.reset();
  look.background.Reset();
  look.bold.Reset();
  look.underlined.Reset();
}

void ScaleLinkLook(int dpi) {
  LinkLook& look = Link();
  if (look.users == 0 || dpi == look.dpi) return;
  look.dpi = dpi;
  look.bold.Reset(MakeArial(ScaledForDpi(14, dpi), FW_BOLD, false));
  look.underlined.Reset(MakeArial(ScaledForDpi(14, dpi), FW_NORMAL, true));
}

HBRUSH BackgroundBrush() { return Link().background.get(); }
HFONT LinkBoldFont() { return Link().bold.get(); }
HFONT LinkUnderlinedFont() { return Link().underlined.get(); }
HCURSOR HandCursor() { return Link().hand.get(); }

void LoadButtonLook(ButtonLook& look, HINSTANCE module, int dpi) {
  const ArtworkScale scale = ArtworkScaleForDpi(dpi);
  look.font.Reset(MakeArial(ScaledForDpi(14, dpi), FW_BOLD, false));
  for (int skin = 0; skin < kSkinLooks; ++skin) {
    look.left[skin].Reset(LoadSkin(module, ArtworkResourceId(kSkinIds[skin][0], scale)));
    look.middle[skin].Reset(LoadSkin(module, ArtworkResourceId(kSkinIds[skin][1], scale)));
    look.right[skin].Reset(LoadSkin(module, ArtworkResourceId(kSkinIds[skin][2], scale)));
    look.borrowed.left[skin] = look.left[skin].get();
    look.borrowed.middle[skin] = look.middle[skin].get();
    look.borrowed.right[skin] = look.right[skin].get();
  }
  look.borrowed.dpi = dpi;
  look.borrowed.scale = scale;
}

bool AcquireButtonLook(HINSTANCE module) {
  ButtonLook& look = Button();
  if (look.users++ == 0) LoadButtonLook(look, module, kBaseDpi);
  return static_cast<bool>(look.font);
}

void ScaleButtonLook(HINSTANCE module, int dpi) {
  ButtonLook& look = Button();
  if (look.users > 0 && dpi != look.borrowed.dpi) LoadButtonLook(look, module, dpi);
}

void ReleaseButtonLook() {
  ButtonLook& look = Button();
  if (look.users == 0 || --look.users > 0) return;
  look.font.Reset();
  look.borrowed = ButtonSkins{};
  for (int skin = 0; skin < kSkinLooks; ++skin) {
    look.left[skin].Reset();
    look.middle[skin].Reset();
    look.right[skin].Reset();
  }
}

HFONT ButtonFont() { return Button().font.get(); }
const ButtonSkins& MacStyleSkins() { return Button().borrowed; }

HINSTANCE ResourceModule() {
  auto* plugin = static_cast<HINSTANCE>(platform::ModuleInstance());
  return plugin != nullptr ? plugin : GetModuleHandleW(nullptr);
}

bool RegisterSharedLookClass(const wchar_t* name, UINT style, LPCWSTR cursor, WNDPROC procedure) {
  gdi::BrushOwner classBrush(CreateSolidBrush(kBackgroundColor));
  if (!RegisterToolkitClass(name, style, cursor, procedure, classBrush.get())) return false;
  classBrush.Release();  // the class owns it now
  return true;
}

}  // namespace shared
