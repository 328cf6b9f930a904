#include "ui/options_panel_win32.h"

#include <memory>
#include <string>
#include <utility>

#include "records/palette.h"
#include "records/palette_alpha.h"
#include "records/save_options.h"
#include "records/whole_image.h"
#include "resources/resource_ids.h"
#include "ui/dialog_colors_win32.h"
#include "ui/palette_view_win32.h"
#include "ui/srgb_image.h"
#include "widgets/color_swatch_win32.h"
#include "widgets/gdi_shared_win32.h"
#include "widgets/mac_style_button_win32.h"
#include "widgets/tooltip_win32.h"
#include "widgets/window_dpi_win32.h"

static_assert(kSelectionConfirmed == CBN_SELENDOK, "the rules name the combo box's confirmation");
static_assert(IDC_PANEL_PALETTE_VIEW + 1 == kFirstCellId && kLastCellId == kFirstCellId + 255,
              "cell i of the palette view has the id base id + 1 + i");

namespace {

constexpr int kFaceIds[] = {IDB_LOCK_DISABLED, IDB_LOCK_NORMAL, IDB_LOCK_HOVER, IDB_TRANSPARENT_LIGHT,
                            IDB_TRANSPARENT_NORMAL};

const wchar_t* const kColorsListTexts[kColorsListEntries] = {L"256", L"128", L"64", L"32", L"16", L"8", L"4", L"2"};
const wchar_t* const kDitherListTexts[kDitherListEntries] = {L"No Dither", L"Diffusion", L"Pattern", L"Noise"};
const wchar_t* const kCompressionListTexts[kCompressionListEntries] = {L"Standard", L"Smallest"};

// The drop-down lists, which show their entries in the dialog font.
constexpr int kListIds[] = {IDC_PANEL_COLORS, IDC_PANEL_DITHER, IDC_PANEL_COMPRESSION, IDC_PANEL_QUALITY};

// The palette controls are enabled and disabled together; the palette view's window goes with them. The Colors
// list goes with them too, unless a quality chooses the count.
constexpr int kPaletteControlIds[] = {IDC_PANEL_COLORS_LABEL, IDC_PANEL_REFINE_PALETTE, IDC_PANEL_PALETTE_GROUP,
                                      IDC_PANEL_DITHER,       IDC_PANEL_DITHER_LABEL,   IDC_PANEL_QUALITY,
                                      IDC_PANEL_QUALITY_LABEL};

PanelImage CurrentImage() {
  return PanelImage{WholeImage._WholeMode, WholeImage._WholePlanesIn,
                    WholeImage._WholeMode == kWholeIndexed && HasClearEntry(Palette), SrgbConversionApplies(),
                    WholeImage.documentDepth == 16};
}

void Call(const std::function<void()>& call) {
  if (call) call();
}

INT_PTR CALLBACK OptionsPanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
  return DialogObjectProc(panel, message, wParam, lParam, "options panel: exception stopped");
}

}  // namespace

HWND CreateOptionsPanel(HWND dialog, OptionsPanelCalls calls, HFONT listFont) {
  return CreateDialogObject(std::make_unique<OptionsPanel>(std::move(calls), listFont), IDD_OPTIONS_PANEL, dialog,
                            OptionsPanelProc);
}

OptionsPanel* GetOptionsPanel(HWND panel) {
  return static_cast<OptionsPanel*>(GetDialogObject(panel, OptionsPanelProc));
}

INT_PTR OptionsPanel::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return OnInit();
    case WM_COMMAND: return OnCommand(wParam, lParam);
    case WM_CTLCOLORSTATIC: return StaticTextColors(reinterpret_cast<HDC>(wParam));
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: return reinterpret_cast<INT_PTR>(shared::BackgroundBrush());
  }
  return FALSE;
}

HBITMAP OptionsPanel::Face(int resourceId) const {
  for (int i = 0; i < kFaceCount; ++i) {
    if (kFaceIds[i] == resourceId) return faces_[i].get();
  }
  return nullptr;
}

INT_PTR OptionsPanel::OnInit() {
  InitMacStyleBtn(window, IDOK, "OK", true);
  InitMacStyleBtn(window, IDCANCEL, "Cancel", false);
  AddTooltip(GetDlgItem(window, IDOK), "Save image and close", nullptr);
  AddTooltip(GetDlgItem(window, IDCANCEL), "Dont save and close", nullptr);
  AddTooltip(GetDlgItem(window, IDC_PANEL_REFINE_PALETTE), "Bring palette colours closer to the image (takes longer)",
             nullptr);
  AddTooltip(GetDlgItem(window, IDC_PANEL_COMPRESSION),
             "Smallest: the same picture in fewer bytes; lossless, takes longer", nullptr);
  AddTooltip(GetDlgItem(window, IDC_PANEL_METADATA),
             "Keep the document's resolution and XMP metadata in the file; XMP can hold camera and location data",
             nullptr);
  AddTooltip(GetDlgItem(window, IDC_PANEL_CONVERT_SRGB),
             "Convert the colours from the document's profile to sRGB, as the web shows them", nullptr);
  AddTooltip(GetDlgItem(window, IDC_PANEL_SIXTEEN_BITS),
             "Keep the document's 16 bits per channel in a Grayscale or RGB file; palettes are always 8-bit", nullptr);
  AddTooltip(GetDlgItem(window, IDC_PANEL_QUALITY),
             "Fewest colours that reach this quality: 30 + quality / 5 dB of PSNR (takes longer)", nullptr);
  LoadFaces(DpiOfWindow(window));
  FillLists();
  PaletteView.RefreshPaletteView();  // copies the palette; the cells are made next
  PlacePaletteView();
  PaletteView.Select(-1);
  ClearAllMarks();
  SetUpEntryButtons();
  SyncPanelFromOptions();
  return TRUE;
}

void OptionsPanel::LoadFaces(int32_t dpi) {
  // Drawn at the scale of the panel's screen, looked up by their 100 % IDs.
  faceScale_ = ArtworkScaleForDpi(dpi);
  for (int i = 0; i < kFaceCount; ++i) {
    faces_[i].Reset(static_cast<HBITMAP>(LoadImageW(shared::ResourceModule(),
                                                    MAKEINTRESOURCEW(ArtworkResourceId(kFaceIds[i], faceScale_)),
                                                    IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
  }
}

void OptionsPanel::TakeFacesForDpi(int32_t dpi) {
  if (ArtworkScaleForDpi(dpi) == faceScale_) return;
  // The buttons borrow the faces: they are given the new ones before the old ones are released.
  gdi::BitmapOwner oldFaces[kFaceCount];
  for (int i = 0; i < kFaceCount; ++i) oldFaces[i] = std::move(faces_[i]);
  LoadFaces(dpi);
  ReplaceBitmapCheckImages(GetDlgItem(window, IDC_PANEL_LOCK), LockImages());
  ReplaceBitmapCheckImages(GetDlgItem(window, IDC_PANEL_TRANSPARENT), TransparentImages());
}

void OptionsPanel::FillList(int id, const wchar_t* const* texts, int count) {
  const HWND list = GetDlgItem(window, id);
  SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(listFont_), FALSE);
  for (int i = 0; i < count; ++i) SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(texts[i]));
}

void OptionsPanel::FillLists() {
  FillList(IDC_PANEL_COLORS, kColorsListTexts, kColorsListEntries);
  FillList(IDC_PANEL_DITHER, kDitherListTexts, kDitherListEntries);
  FillList(IDC_PANEL_COMPRESSION, kCompressionListTexts, kCompressionListEntries);
  // The quality list's entries depend on the options: SyncPanelFromOptions fills it.
  SendDlgItemMessageW(window, IDC_PANEL_QUALITY, WM_SETFONT, reinterpret_cast<WPARAM>(listFont_), FALSE);
}

void OptionsPanel::TakeListFont(HFONT font) {
  listFont_ = font;
  for (const int id : kListIds) SendDlgItemMessageW(window, id, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void OptionsPanel::PlacePaletteView() {
  RECT group{};
  GetWindowRect(GetDlgItem(window, IDC_PANEL_PALETTE_GROUP), &group);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&group), 2);
  const int dpi = DpiOfWindow(window);
  const PanelPoint place = PaletteViewPlace(group.left, group.top, group.right - group.left, dpi);
  // In reading order: after Convert to sRGB, before the two buttons under the view.
  PaletteView.CreateWND(window, place.x, place.y, PaletteViewSize(dpi), PaletteViewSize(dpi), IDC_PANEL_PALETTE_VIEW,
                        GetDlgItem(window, IDC_PANEL_CONVERT_SRGB));
}

BitmapCheckImages OptionsPanel::LockImages() const {
  BitmapCheckImages lock;
  lock.slots[static_cast<int>(FaceSlot::kNormal)] = Face(IDB_LOCK_NORMAL);
  lock.slots[static_cast<int>(FaceSlot::kHover)] = Face(IDB_LOCK_HOVER);
  lock.slots[static_cast<int>(FaceSlot::kDisabled)] = Face(IDB_LOCK_DISABLED);
  return lock;
}

BitmapCheckImages OptionsPanel::TransparentImages() const {
  BitmapCheckImages transparent;
  transparent.slots[static_cast<int>(FaceSlot::kNormal)] = Face(IDB_TRANSPARENT_NORMAL);
  transparent.slots[static_cast<int>(FaceSlot::kHover)] = Face(IDB_TRANSPARENT_LIGHT);
  transparent.slots[static_cast<int>(FaceSlot::kDisabled)] = Face(IDB_TRANSPARENT_LIGHT);
  return transparent;
}

void OptionsPanel::SetUpEntryButtons() {
  SetUpBitmapCheckButton(GetDlgItem(window, IDC_PANEL_LOCK), LockImages());
  SetUpBitmapCheckButton(GetDlgItem(window, IDC_PANEL_TRANSPARENT), TransparentImages());
}

void OptionsPanel::SyncPanelFromOptions() {
  const PanelSyncState state = SyncStateFor(CurrentImage(), SaveOptions, Palette.count);
  SetCheck(IDC_PANEL_GRAYSCALE, state.pngType == kPngGrayscale ? CheckChange::kCheck : CheckChange::kUncheck);
  SetCheck(IDC_PANEL_PALETTE, state.pngType == kPngPalette ? CheckChange::kCheck : CheckChange::kUncheck);
  SetCheck(IDC_PANEL_RGB, state.pngType == kPngRgb ? CheckChange::kCheck : CheckChange::kUncheck);
  SetCheck(IDC_PANEL_ALPHA_CHANNEL, state.alphaChannel ? CheckChange::kCheck : CheckChange::kUncheck);
  SetCheck(IDC_PANEL_KEY_COLOR, state.keyColor ? CheckChange::kCheck : CheckChange::kUncheck);
  SetCheck(IDC_PANEL_TRANSPARENCY_DITHER, state.transparencyDither ? CheckChange::kCheck : CheckChange::kUncheck);
  SetCheck(IDC_PANEL_REFINE_PALETTE, state.refinePalette ? CheckChange::kCheck : CheckChange::kUncheck);
  SetCheck(IDC_PANEL_METADATA, state.metadata ? CheckChange::kCheck : CheckChange::kUncheck);
  SetCheck(IDC_PANEL_CONVERT_SRGB, state.convertToSrgb ? CheckChange::kCheck : CheckChange::kUncheck);
  SetCheck(IDC_PANEL_SIXTEEN_BITS, state.sixteenBits ? CheckChange::kCheck : CheckChange::kUncheck);
  ShowColorCount(state);
  ShowQualityList(state);
  SendDlgItemMessageW(window, IDC_PANEL_DITHER, CB_SETCURSEL, static_cast<WPARAM>(state.ditherListIndex), 0);
  SendDlgItemMessageW(window, IDC_PANEL_COMPRESSION, CB_SETCURSEL, static_cast<WPARAM>(state.compressionListIndex), 0);
  if (ColorSwatch* swatch = FillSwatch()) swatch->SetColor(state.fillColor);
  PaletteView.SetShownCount(state.shownCount);
  ApplyEnableRules();
}

void OptionsPanel::ShowColorCount(const PanelSyncState& state) {
  const HWND list = GetDlgItem(window, IDC_PANEL_COLORS);
  // Entries past the listed counts show a count a quality chose; there is one at most.
  while (SendMessageW(list, CB_GETCOUNT, 0, 0) > kColorsListEntries) {
    SendMessageW(list, CB_DELETESTRING, kColorsListEntries, 0);
  }
  int index = state.colorsListIndex;
  if (state.chosenColors > 0) {
    const std::wstring text = std::to_wstring(state.chosenColors);
    index = static_cast<int>(SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
  }
  SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void OptionsPanel::ShowQualityList(const PanelSyncState& state) {
  const HWND list = GetDlgItem(window, IDC_PANEL_QUALITY);
  if (state.qualityList != qualityList_) {
    qualityList_ = state.qualityList;
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (const int32_t quality : qualityList_) {
      const std::wstring text = quality == 0 ? std::wstring(L"Off") : std::to_wstring(quality);
      SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
  }
  SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(state.qualityListIndex), 0);
}

void OptionsPanel::PaletteRebuilt() {
  const PanelSyncState state = SyncStateFor(CurrentImage(), SaveOptions, Palette.count);
  if (state.chosenColors == 0) return;  // the count is the Colors list's, which shows it already
  ShowColorCount(state);
  PaletteView.SetShownCount(state.shownCount);
}

int32_t OptionsPanel::QualityPicked() const {
  const int index = ListIndex(IDC_PANEL_QUALITY);
  if (index < 0 || index >= static_cast<int>(qualityList_.size())) return -1;
  return qualityList_[static_cast<size_t>(index)];
}

void OptionsPanel::ApplyEnableRules() {
  const EnableState state = EnableRulesFor(CurrentImage(), SaveOptions, PaletteView.selected);
  Enable(IDC_PANEL_ALPHA_CHANNEL, state.alphaChannel);
  Enable(IDC_PANEL_CONVERT_SRGB, state.convertToSrgb);
  Enable(IDC_PANEL_SIXTEEN_BITS, state.sixteenBits);
  Enable(IDC_PANEL_FILL_COLOR_LABEL, state.fillColor);
  if (ColorSwatch* swatch = FillSwatch()) swatch->SetEnabled(state.fillColor ? 1 : 0);
  Enable(IDC_PANEL_KEY_COLOR, state.keyColor);
  Enable(IDC_PANEL_TRANSPARENCY_DITHER, state.transparencyDither);
  for (int id : kPaletteControlIds) Enable(id, state.paletteControls);
  Enable(IDC_PANEL_COLORS, state.colorsList);
  if (PaletteView.window != nullptr) EnableWindow(PaletteView.window, state.paletteControls ? TRUE : FALSE);
  if (state.clearSelection) PaletteView.Select(-1);
  CarryEntryButtons(state.entryButtons);
}

void OptionsPanel::UpdateEntryButtons() {
  CarryEntryButtons(EntryButtonsFor(CurrentImage(), SaveOptions, PaletteView.selected));
}

void OptionsPanel::CarryEntryButtons(const EntryButtonsState& state) {
  SetCheck(IDC_PANEL_LOCK, state.lockCheck);
  Enable(IDC_PANEL_LOCK, state.lockEnabled);
  SetCheck(IDC_PANEL_TRANSPARENT, state.transparentCheck);
  Enable(IDC_PANEL_TRANSPARENT, state.transparentEnabled);
}

void OptionsPanel::ClearAllMarks() {
  ClearPaletteMarks(Palette);
  for (int i = 0; i < kPaletteCells; ++i) {
    if (ColorSwatch* cell = PaletteView.Cell(i)) cell->SetLockMark(0);
  }
}

void OptionsPanel::MakeAllOpaque() {
  MakePaletteOpaque(Palette);
  for (int i = 0; i < kPaletteCells; ++i) {
    if (ColorSwatch* cell = PaletteView.Cell(i)) cell->SetTransparentMark(0);
  }
}

INT_PTR OptionsPanel::OnCommand(WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  switch (PanelCommandFor(id, HIWORD(wParam), lParam)) {
    case PanelCommand::kPassToDialog:
      // Save and Cancel end the preview dialog, which must see them before anything else happens.
      SendMessageW(GetParent(window), WM_COMMAND, wParam, lParam);
      break;
    case PanelCommand::kPngType:
      Carry(OnPngTypeCommand(SaveOptions, Checked(IDC_PANEL_GRAYSCALE), Checked(IDC_PANEL_PALETTE),
                             Checked(IDC_PANEL_RGB)));
      break;
    case PanelCommand::kAlphaChannel:
      Carry(OnAlphaChannelCommand(SaveOptions, Palette, Checked(IDC_PANEL_ALPHA_CHANNEL)));
      break;
    case PanelCommand::kKeyColor: Carry(OnKeyColorCommand(SaveOptions, Palette, Checked(IDC_PANEL_KEY_COLOR))); break;
    case PanelCommand::kPaletteColors:
      Carry(OnPaletteColorsCommand(SaveOptions, Palette, ListIndex(IDC_PANEL_COLORS)));
      break;
    case PanelCommand::kRefinePalette:
      Carry(OnRefinePaletteCommand(SaveOptions, Palette, Checked(IDC_PANEL_REFINE_PALETTE)));
      break;
    case PanelCommand::kDither: Carry(OnDitherCommand(SaveOptions, Palette, ListIndex(IDC_PANEL_DITHER))); break;
    case PanelCommand::kCompression: Carry(OnCompressionCommand(SaveOptions, ListIndex(IDC_PANEL_COMPRESSION))); break;
    case PanelCommand::kPaletteQuality: Carry(OnPaletteQualityCommand(SaveOptions, Palette, QualityPicked())); break;
    case PanelCommand::kMetadata: Carry(OnMetadataCommand(SaveOptions, Checked(IDC_PANEL_METADATA))); break;
    case PanelCommand::kSixteenBits: Carry(OnSixteenBitsCommand(SaveOptions, Checked(IDC_PANEL_SIXTEEN_BITS))); break;
    case PanelCommand::kConvertToSrgb:
      // Made here, on the dialog's thread, before any refresh reads it; never changed after.
      Carry(OnConvertToSrgbCommand(SaveOptions, Palette, Checked(IDC_PANEL_CONVERT_SRGB) && PrepareSrgbImage()));
      break;
    case PanelCommand::kFillColor:
      if (ColorSwatch* swatch = FillSwatch()) Carry(OnFillColorCommand(SaveOptions, Palette, swatch->color));
      break;
    case PanelCommand::kTransparencyDither:
      Carry(OnTransparencyDitherCommand(SaveOptions, Palette, Checked(IDC_PANEL_TRANSPARENCY_DITHER)));
      break;
    case PanelCommand::kLock: Carry(OnLockCommand(Palette, PaletteView.selected)); break;
    case PanelCommand::kTransparency: Carry(OnTransparencyCommand(Palette, PaletteView.selected)); break;
    case PanelCommand::kCellClicked:
      // Whether the transparency button will be enabled for the entry now selected, not whether it was before.
      Carry(OnCellClicked(Palette, CellIndexFor(id),
                          EntryButtonsFor(CurrentImage(), SaveOptions, CellIndexFor(id)).transparentEnabled));
      break;
    case PanelCommand::kCellColorPicked:
      if (ColorSwatch* cell = PaletteView.Cell(CellIndexFor(id))) {
        Carry(OnCellColorPicked(Palette, CellIndexFor(id), cell->color));
      }
      break;
    case PanelCommand::kIgnore: break;
  }
  return TRUE;
}

void OptionsPanel::Carry(const PanelReaction& reaction) {
  if (reaction.selectEntry) PaletteView.Select(reaction.entry);
  SetCheck(IDC_PANEL_LOCK, reaction.lockCheck);
  SetCheck(IDC_PANEL_TRANSPARENT, reaction.transparentCheck);
  if (ColorSwatch* cell = PaletteView.Cell(reaction.entry)) {
    if (reaction.cellLockMark >= 0) cell->SetLockMark(static_cast<uint8_t>(reaction.cellLockMark));
    if (reaction.cellTransparentMark >= 0) cell->SetTransparentMark(static_cast<uint8_t>(reaction.cellTransparentMark));
  }
  for (int i = 0; i < kPaletteCells; ++i) {
    ColorSwatch* cell = PaletteView.Cell(i);
    if (cell == nullptr) continue;
    if (reaction.cellsUnmarked) cell->SetLockMark(0);
    if (reaction.cellsOpaque) cell->SetTransparentMark(0);
  }
  for (int i = 0; i < reaction.stepCount; ++i) {
    switch (reaction.steps[i]) {
      case PanelStep::kSyncPanel: SyncPanelFromOptions(); break;
      case PanelStep::kApplyEnableRules: ApplyEnableRules(); break;
      case PanelStep::kSetShownCount: PaletteView.SetShownCount(reaction.shownCount); break;
      case PanelStep::kUpdateEntryButtons: UpdateEntryButtons(); break;
      case PanelStep::kRefresh: Call(calls_.refresh); break;
      case PanelStep::kEncode: Call(calls_.encode); break;
      case PanelStep::kPaletteEdited: Call(calls_.paletteEdited); break;
    }
  }
}

void OptionsPanel::SetCheck(int id, CheckChange change) {
  if (change == CheckChange::kKeep) return;
  CheckDlgButton(window, id, change == CheckChange::kCheck ? BST_CHECKED : BST_UNCHECKED);
}

void OptionsPanel::Enable(int id, bool on) { EnableWindow(GetDlgItem(window, id), on ? TRUE : FALSE); }

bool OptionsPanel::Checked(int id) const { return IsDlgButtonChecked(window, id) == BST_CHECKED; }

int OptionsPanel::ListIndex(int id) const {
  return static_cast<int>(SendDlgItemMessageW(window, id, CB_GETCURSEL, 0, 0));
}

ColorSwatch* OptionsPanel::FillSwatch() const { return GetColorSwatch(window, IDC_PANEL_FILL_COLOR); }
