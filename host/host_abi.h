// Our declarations of the interface between the host application and a file-format plug-in DLL.
//
// The host hands us raw C structures and calls through raw function pointers, so every declaration here
// has to reproduce the host's memory layout exactly, on Windows x86 and Windows x64. Only fixed-width
// and pointer-sized types are used, which also gives native LP64 builds (Linux x86-64) the x64 layout;
// that lets the unit tests check the layout without Windows. The figures at the bottom of this file are
// checked by every includer.
//
// All callbacks use the compiler's default calling convention (cdecl on x86), as the host does.
#pragma once

#include <cstddef>
#include <cstdint>

#include "records/four_char_code.h"

// ---------------------------------------------------------------------------------------------------------
// Basic types
// ---------------------------------------------------------------------------------------------------------

using OSErr = int16_t;              // 16-bit result code, 0 = success
using SPErr = int32_t;              // 32-bit result code of the suite layer, 0 = success, mostly four-char codes
using PIBoolean = uint8_t;          // one-byte boolean used throughout the records, 0 = false
using SPBoolean = int32_t;          // four-byte boolean returned by the suite layer
using Fixed = int32_t;              // 16.16 fixed point
using Handle = char**;              // host-managed relocatable block: pointer to the pointer to the bytes
using Str255 = unsigned char[256];  // byte 0 = length, then up to 255 characters

struct Point16 {
  int16_t v;  // vertical: row
  int16_t h;  // horizontal: column
};

struct Rect16 {
  int16_t top;
  int16_t left;
  int16_t bottom;
  int16_t right;
};

struct VPoint {
  int32_t v;
  int32_t h;
};

struct VRect {
  int32_t top;
  int32_t left;
  int32_t bottom;
  int32_t right;
};

// Signature the host writes into FormatRecord::hostSig; reading it back is our run-time layout check.
constexpr FourCC kHostSignature = FourCharCode("8BIM");

// ---------------------------------------------------------------------------------------------------------
// Result codes
// ---------------------------------------------------------------------------------------------------------

constexpr OSErr kNoErr = 0;
constexpr OSErr kCoercedParamErr = 2;  // descriptor getters: the value was coerced or clamped
constexpr OSErr kWriteErr = -20;
constexpr OSErr kDiskFullErr = -34;
constexpr OSErr kIoErr = -36;
constexpr OSErr kEofErr = -39;
constexpr OSErr kParamErr = -50;
constexpr OSErr kMemFullErr = -108;
constexpr OSErr kUserCanceledErr = -128;  // also what advanceState returns when the user pressed Escape
constexpr OSErr kFormatBadParameters = -30500;
constexpr OSErr kFormatCannotRead = -30501;
constexpr OSErr kHostInsufficient = -30900;
constexpr OSErr kReportStringErr = -30904;  // host shows FormatRecord::errorString as the reason

constexpr SPErr kSPNoError = 0;
constexpr SPErr kSPBadParameterError = 0x5061726D;   // 'Parm'
constexpr SPErr kSPSuiteNotFoundError = 0x53214664;  // 'S!Fd'
constexpr SPErr kSPUnimplementedError = 0x21494D50;  // '!IMP'
constexpr SPErr kSPOutOfMemoryError = -108;

// ---------------------------------------------------------------------------------------------------------
// Selectors (first argument of the entry point)
// ---------------------------------------------------------------------------------------------------------

constexpr int16_t kSelectorAbout = 0;  // parameter block is an AboutRecord, not a FormatRecord
constexpr int16_t kSelectorReadPrepare = 1;
constexpr int16_t kSelectorReadStart = 2;
constexpr int16_t kSelectorReadContinue = 3;
constexpr int16_t kSelectorReadFinish = 4;
constexpr int16_t kSelectorOptionsPrepare = 5;
constexpr int16_t kSelectorOptionsStart = 6;
constexpr int16_t kSelectorOptionsContinue = 7;
constexpr int16_t kSelectorOptionsFinish = 8;
constexpr int16_t kSelectorEstimatePrepare = 9;
constexpr int16_t kSelectorEstimateStart = 10;
constexpr int16_t kSelectorEstimateContinue = 11;
constexpr int16_t kSelectorEstimateFinish = 12;
constexpr int16_t kSelectorWritePrepare = 13;
constexpr int16_t kSelectorWriteStart = 14;
constexpr int16_t kSelectorWriteContinue = 15;
constexpr int16_t kSelectorWriteFinish = 16;
constexpr int16_t kSelectorFilterFile = 17;

// ---------------------------------------------------------------------------------------------------------
// Image modes (FormatRecord::imageMode; bit n of hostModes)
// ---------------------------------------------------------------------------------------------------------

constexpr int16_t kModeBitmap = 0;
constexpr int16_t kModeGrayScale = 1;
constexpr int16_t kModeIndexed = 2;
constexpr int16_t kModeRGB = 3;
constexpr int16_t kModeCMYK = 4;
constexpr int16_t kModeHSL = 5;
constexpr int16_t kModeHSB = 6;
constexpr int16_t kModeMultichannel = 7;
constexpr int16_t kModeDuotone = 8;
constexpr int16_t kModeLab = 9;
constexpr int16_t kModeGray16 = 10;
constexpr int16_t kModeRGB48 = 11;
constexpr int16_t kModeLab48 = 12;
constexpr int16_t kModeCMYK64 = 13;
constexpr int16_t kModeDeepMultichannel = 14;
constexpr int16_t kModeDuotone16 = 15;
constexpr int16_t kModeRGB96 = 16;
constexpr int16_t kModeGray32 = 17;

// FormatRecord::transparencyMatting, set by us on write: 0 asks for straight (un-matted) colour.
constexpr int32_t kMattingNone = 0;
constexpr int32_t kMattingBlack = 1;
constexpr int32_t kMattingGray = 2;
constexpr int32_t kMattingWhite = 3;

// ---------------------------------------------------------------------------------------------------------
// Opaque and forward-declared types (only ever handled through pointers)
// ---------------------------------------------------------------------------------------------------------

struct ColorServicesInfo;
struct PSPixelMap;
struct PIDescriptorSimpleReference;  // 276 bytes; we never build one
struct OpaqueColorID;
struct OpaqueZString;
struct OpaqueBufferID;
struct OpaqueReadDescriptor;
struct OpaqueWriteDescriptor;

using ColorID = OpaqueColorID*;
using ASZString = OpaqueZString*;
using BufferID = OpaqueBufferID*;
using PIReadDescriptor = OpaqueReadDescriptor*;
using PIWriteDescriptor = OpaqueWriteDescriptor*;
using PIDescriptorHandle = Handle;

using DescriptorKeyID = uint32_t;
using DescriptorTypeID = uint32_t;
using DescriptorEnumID = uint32_t;
using DescriptorUnitID = uint32_t;
using DescriptorClassID = uint32_t;
using DescriptorEventID = uint32_t;
using DescriptorFormID = uint32_t;

// ---------------------------------------------------------------------------------------------------------
// Entry point and general callbacks
// ---------------------------------------------------------------------------------------------------------

// void PluginMain(selector, AboutRecord* or FormatRecord*, pointer to our persistent slot, result out).
// Exported with C linkage under exactly the name written into the plug-in's code property.
using PluginEntryProc = void (*)(int16_t selector, void* paramBlock, intptr_t* data, int16_t* result);
inline constexpr char kPluginEntryName[] = "PluginMain";

using TestAbortProc = PIBoolean (*)();  // true = user asked to stop
using ProgressProc = void (*)(int32_t done, int32_t total);
using AdvanceStateProc = OSErr (*)();
using ColorServicesProc = OSErr (*)(ColorServicesInfo* info);
using HostProc = void (*)(int16_t selector, intptr_t* data);
using ProcessEventProc = void (*)(void* event);
using DisplayPixelsProc = OSErr (*)(const PSPixelMap* source, const VRect* srcRect, int32_t dstRow, int32_t dstCol,
                                    void* platformContext);

using NewPIHandleProc = Handle (*)(int32_t size);
using DisposePIHandleProc = void (*)(Handle h);
using GetPIHandleSizeProc = int32_t (*)(Handle h);
using SetPIHandleSizeProc = OSErr (*)(Handle h, int32_t newSize);
using LockPIHandleProc = char* (*)(Handle h, PIBoolean moveHigh);
using UnlockPIHandleProc = void (*)(Handle h);
using RecoverSpaceProc = void (*)(int32_t size);
using SetPIHandleLockProc = void (*)(Handle h, PIBoolean lock, char** address, PIBoolean* oldLock);

// ---------------------------------------------------------------------------------------------------------
// Basic suite (FormatRecord::sSPBasic / AboutRecord::sSPBasic); natural alignment
// ---------------------------------------------------------------------------------------------------------

using SPAcquireSuiteProc = SPErr (*)(const char* name, int32_t version, const void** suite);
using SPReleaseSuiteProc = SPErr (*)(const char* name, int32_t version);
using SPIsEqualProc = SPBoolean (*)(const char* a, const char* b);
using SPAllocateBlockProc = SPErr (*)(size_t size, void** block);
using SPFreeBlockProc = SPErr (*)(void* block);
using SPReallocateBlockProc = SPErr (*)(void* block, size_t newSize, void** newBlock);
using SPUndefinedProc = SPErr (*)();

struct SPBasicSuite {
  SPAcquireSuiteProc AcquireSuite;
  SPReleaseSuiteProc ReleaseSuite;
  SPIsEqualProc IsEqual;
  SPAllocateBlockProc AllocateBlock;
  SPFreeBlockProc FreeBlock;
  SPReallocateBlockProc ReallocateBlock;
  SPUndefinedProc Undefined;
};

// ---------------------------------------------------------------------------------------------------------
// Suites acquired through SPBasicSuite::AcquireSuite; a suite must be released with the same name and version
// ---------------------------------------------------------------------------------------------------------

inline constexpr char kHandleSuiteName[] = "Photoshop Handle Suite for Plug-ins";
constexpr int32_t kHandleSuiteVersion = 2;   // PSHandleSuite2
constexpr int32_t kHandleSuiteVersion1 = 1;  // PSHandleSuite1: no DisposeRegularHandle, so SetLock moves
inline constexpr char kBufferSuiteName[] = "Photoshop Buffer Suite for Plug-ins";
constexpr int32_t kBufferSuiteVersion = 1;
inline constexpr char kColorSpaceSuiteName[] = "Photoshop ColorSpace Suite for Plug-ins";
constexpr int32_t kColorSpaceSuiteVersion = 1;

struct PSHandleSuite1 {
  NewPIHandleProc New;
  DisposePIHandleProc Dispose;
  SetPIHandleLockProc SetLock;
  GetPIHandleSizeProc GetSize;
  SetPIHandleSizeProc SetSize;
  RecoverSpaceProc RecoverSpace;
};

struct PSHandleSuite2 {
  NewPIHandleProc New;
  DisposePIHandleProc Dispose;
  DisposePIHandleProc DisposeRegularHandle;
  SetPIHandleLockProc SetLock;
  GetPIHandleSizeProc GetSize;
  SetPIHandleSizeProc SetSize;
  RecoverSpaceProc RecoverSpace;
};

// New: *requestedSize in = wanted, out = obtained (NULL = minimum only); NULL result if not even the minimum.
using BufferSuiteNewProc = char* (*)(uint32_t* requestedSize, uint32_t minimumSize);
using BufferSuiteDisposeProc = void (*)(char** buffer);  // frees and clears the caller's pointer
using BufferSuiteGetSizeProc = uint32_t (*)(char* buffer);
using BufferSuiteGetSpaceProc = uint32_t (*)();

struct PSBufferSuite1 {
  BufferSuiteNewProc New;
  BufferSuiteDisposeProc Dispose;
  BufferSuiteGetSizeProc GetSize;
  BufferSuiteGetSpaceProc GetSpace;
};

// Colour-space numbers shared by the colour-space suite and colour services.
constexpr int16_t kColorSpaceChosen = -1;  // result space only: whatever the user picked
constexpr int16_t kColorSpaceRGB = 0;
constexpr int16_t kColorSpaceHSB = 1;
constexpr int16_t kColorSpaceCMYK = 2;
constexpr int16_t kColorSpaceLab = 3;
constexpr int16_t kColorSpaceGray = 4;
constexpr int16_t kColorSpaceHSL = 5;
constexpr int16_t kColorSpaceXYZ = 6;

// Component bytes by space: RGB {0,R,G,B}, CMYK {C,M,Y,K}, Gray {0,0,0,gray}, Lab {0,L,a,b}.
using Color8 = uint8_t[4];
using Color16 = uint16_t[4];  // 16-bit range is 0..32768
using Color32 = float[4];

struct CS_XYZColor {
  uint16_t x;
  uint16_t y;
  uint16_t z;
};

using CSMakeProc = SPErr (*)(ColorID* colorID);
using CSDeleteProc = SPErr (*)(ColorID* colorID);
using CSStuffComponentsProc = SPErr (*)(ColorID colorID, int16_t colorSpace, uint8_t c0, uint8_t c1, uint8_t c2,
                                        uint8_t c3);
using CSExtractComponentsProc = SPErr (*)(ColorID colorID, int16_t colorSpace, uint8_t* c0, uint8_t* c1, uint8_t* c2,
                                          uint8_t* c3, PIBoolean* inGamut);
using CSStuffXYZProc = SPErr (*)(ColorID colorID, CS_XYZColor xyz);
using CSExtractXYZProc = SPErr (*)(ColorID colorID, CS_XYZColor* xyz);
// The conversions rewrite the array in place; count is 16-bit, so at most 32767 colours per call.
using CSConvert8Proc = SPErr (*)(int16_t inputSpace, int16_t outputSpace, Color8* colors, int16_t count);
using CSConvert16Proc = SPErr (*)(int16_t inputSpace, int16_t outputSpace, Color16* colors, int16_t count);
using CSGetNativeSpaceProc = SPErr (*)(ColorID colorID, int16_t* nativeSpace);
using CSIsBookColorProc = SPErr (*)(ColorID colorID, PIBoolean* isBookColor);
using CSExtractColorNameProc = SPErr (*)(ColorID colorID, ASZString* name);
using CSPickColorProc = SPErr (*)(ColorID* colorID, ASZString prompt);
using CSConvert8to16Proc = SPErr (*)(uint8_t* input, uint16_t* output, int16_t count);
using CSConvert16to8Proc = SPErr (*)(uint16_t* input, uint8_t* output, int16_t count);
using CSConvertToMonitorRGBProc = SPErr (*)(int16_t inputSpace, Color8* input, Color8* output, int16_t count);
using CSConvert32to8Proc = SPErr (*)(float* input, uint8_t* output, int16_t count);

struct PSColorSpaceSuite1 {
  CSMakeProc Make;
  CSDeleteProc Delete;
  CSStuffComponentsProc StuffComponents;
  CSExtractComponentsProc ExtractComponents;
  CSStuffXYZProc StuffXYZ;
  CSExtractXYZProc ExtractXYZ;
  CSConvert8Proc Convert8;
  CSConvert16Proc Convert16;
  CSGetNativeSpaceProc GetNativeSpace;
  CSIsBookColorProc IsBookColor;
  CSExtractColorNameProc ExtractColorName;
  CSPickColorProc PickColor;
  CSConvert8to16Proc Convert8to16;
  CSConvert16to8Proc Convert16to8;
  CSConvertToMonitorRGBProc ConvertToMonitorRGB;
  CSConvert32to8Proc Convert32to8;
};

// ---------------------------------------------------------------------------------------------------------
// Callback tables reached from FormatRecord; natural alignment (x64 pads 4 bytes before the first pointer)
// ---------------------------------------------------------------------------------------------------------

using CountPIResourcesProc = int16_t (*)(FourCC type);
using GetPIResourceProc = Handle (*)(FourCC type, int16_t index);  // 1-based; host-owned, read-only
using DeletePIResourceProc = void (*)(FourCC type, int16_t index);
using AddPIResourceProc = OSErr (*)(FourCC type, Handle data);  // the host copies the data

struct ResourceProcs {
  int16_t resourceProcsVersion;
  int16_t numResourceProcs;
  CountPIResourcesProc countProc;
  GetPIResourceProc getProc;
  DeletePIResourceProc deleteProc;
  AddPIResourceProc addProc;
};

// Same services as the handle suite, but in a different order.
struct HandleProcs {
  int16_t handleProcsVersion;
  int16_t numHandleProcs;
  NewPIHandleProc newProc;
  DisposePIHandleProc disposeProc;
  GetPIHandleSizeProc getSizeProc;
  SetPIHandleSizeProc setSizeProc;
  LockPIHandleProc lockProc;
  UnlockPIHandleProc unlockProc;
  RecoverSpaceProc recoverSpaceProc;
  DisposePIHandleProc disposeRegularHandleProc;
};

using AllocateBufferProc = OSErr (*)(int32_t size, BufferID* bufferID);
using LockBufferProc = char* (*)(BufferID bufferID, PIBoolean moveHigh);
using UnlockBufferProc = void (*)(BufferID bufferID);
using FreeBufferProc = void (*)(BufferID bufferID);
using BufferSpaceProc = int32_t (*)();
using ReserveBufferSpaceProc = OSErr (*)(int32_t size);
using AllocateBuffer64Proc = OSErr (*)(int64_t size, BufferID* bufferID);
using BufferSpace64Proc = int64_t (*)();

struct BufferProcs {
  int16_t bufferProcsVersion;
  int16_t numBufferProcs;
  AllocateBufferProc allocateProc;
  LockBufferProc lockProc;
  UnlockBufferProc unlockProc;
  FreeBufferProc freeProc;
  BufferSpaceProc spaceProc;
  ReserveBufferSpaceProc reserveProc;
  AllocateBuffer64Proc allocateProc64;
  BufferSpace64Proc spaceProc64;
};

// Complex (handle) values returned by getPropertyProc are ours to dispose of.
using GetPropertyProc = OSErr (*)(FourCC signature, FourCC key, int32_t index, intptr_t* simpleProperty,
                                  Handle* complexProperty);
using SetPropertyProc = OSErr (*)(FourCC signature, FourCC key, int32_t index, intptr_t simpleProperty,
                                  Handle complexProperty);

struct PropertyProcs {
  int16_t propertyProcsVersion;
  int16_t numPropertyProcs;
  GetPropertyProc getPropertyProc;
  SetPropertyProc setPropertyProc;
};

// ---------------------------------------------------------------------------------------------------------
// Scripting parameters; natural alignment
// ---------------------------------------------------------------------------------------------------------

// PIDescriptorParameters::playInfo
constexpr int16_t kPlayDialogIfNeeded = 0;
constexpr int16_t kPlayDialogDisplay = 1;
constexpr int16_t kPlayDialogSilent = 2;
// PIDescriptorParameters::recordInfo
constexpr int16_t kRecordDialogOptional = 0;
constexpr int16_t kRecordDialogRequired = 1;
constexpr int16_t kRecordDialogNone = 2;

constexpr DescriptorTypeID kDescriptorTypeInteger = FourCharCode("long");

// The key array passed to openReadDescriptorProc must end with a 0 entry; the host zeroes each entry as
// the key is delivered, so entries still non-zero at close time never arrived.
using OpenReadDescriptorProc = PIReadDescriptor (*)(PIDescriptorHandle descriptor, DescriptorKeyID* keys);
using CloseReadDescriptorProc = OSErr (*)(PIReadDescriptor token);  // most serious error seen (sticky)
using GetKeyProc = PIBoolean (*)(PIReadDescriptor token, DescriptorKeyID* key, DescriptorTypeID* type, int32_t* flags);
using GetIntegerProc = OSErr (*)(PIReadDescriptor token, int32_t* value);
using GetFloatProc = OSErr (*)(PIReadDescriptor token, double* value);
using GetUnitFloatProc = OSErr (*)(PIReadDescriptor token, DescriptorUnitID* unit, double* value);
using GetBooleanProc = OSErr (*)(PIReadDescriptor token, PIBoolean* value);
using GetTextProc = OSErr (*)(PIReadDescriptor token, Handle* value);
using GetAliasProc = OSErr (*)(PIReadDescriptor token, Handle* value);
using GetEnumeratedProc = OSErr (*)(PIReadDescriptor token, DescriptorEnumID* value);
using GetClassProc = OSErr (*)(PIReadDescriptor token, DescriptorClassID* value);
using GetSimpleReferenceProc = OSErr (*)(PIReadDescriptor token, PIDescriptorSimpleReference* value);
using GetObjectProc = OSErr (*)(PIReadDescriptor token, DescriptorClassID* type, PIDescriptorHandle* value);
using GetCountProc = OSErr (*)(PIReadDescriptor token, uint32_t* count);
using GetStringProc = OSErr (*)(PIReadDescriptor token, Str255* value);
using GetPinnedIntegerProc = OSErr (*)(PIReadDescriptor token, int32_t min, int32_t max, int32_t* value);
using GetPinnedFloatProc = OSErr (*)(PIReadDescriptor token, const double* min, const double* max, double* value);
using GetPinnedUnitFloatProc = OSErr (*)(PIReadDescriptor token, const double* min, const double* max,
                                         DescriptorUnitID* unit, double* value);

struct ReadDescriptorProcs {
  int16_t readDescriptorProcsVersion;
  int16_t numReadDescriptorProcs;
  OpenReadDescriptorProc openReadDescriptorProc;
  CloseReadDescriptorProc closeReadDescriptorProc;
  GetKeyProc getKeyProc;
  GetIntegerProc getIntegerProc;
  GetFloatProc getFloatProc;
  GetUnitFloatProc getUnitFloatProc;
  GetBooleanProc getBooleanProc;
  GetTextProc getTextProc;
  GetAliasProc getAliasProc;
  GetEnumeratedProc getEnumeratedProc;
  GetClassProc getClassProc;
  GetSimpleReferenceProc getSimpleReferenceProc;
  GetObjectProc getObjectProc;
  GetCountProc getCountProc;
  GetStringProc getStringProc;
  GetPinnedIntegerProc getPinnedIntegerProc;
  GetPinnedFloatProc getPinnedFloatProc;
  GetPinnedUnitFloatProc getPinnedUnitFloatProc;
};

// If anything fails after openWriteDescriptorProc, dispose of the token's result with the handle callbacks.
using OpenWriteDescriptorProc = PIWriteDescriptor (*)();
using CloseWriteDescriptorProc = OSErr (*)(PIWriteDescriptor token, PIDescriptorHandle* newDescriptor);
using PutIntegerProc = OSErr (*)(PIWriteDescriptor token, DescriptorKeyID key, int32_t value);
using PutFloatProc = OSErr (*)(PIWriteDescriptor token, DescriptorKeyID key, const double* value);
using PutUnitFloatProc = OSErr (*)(PIWriteDescriptor token, DescriptorKeyID key, DescriptorUnitID unit,
                                   const double* value);
using PutBooleanProc = OSErr (*)(PIWriteDescriptor token, DescriptorKeyID key, PIBoolean value);
using PutTextProc = OSErr (*)(PIWriteDescriptor token, DescriptorKeyID key, Handle value);
using PutAliasProc = OSErr (*)(PIWriteDescriptor token, DescriptorKeyID key, Handle value);
using PutEnumeratedProc = OSErr (*)(PIWriteDescriptor token, DescriptorKeyID key, DescriptorTypeID type,
                                    DescriptorEnumID value);
using PutClassProc = OSErr (*)(PIWriteDescriptor token, DescriptorKeyID key, DescriptorTypeID type);
using PutSimpleReferenceProc = OSErr (*)(PIWriteDescriptor token, DescriptorKeyID key,
                                         const PIDescriptorSimpleReference* value);
using PutObjectProc = OSErr (*)(PIWriteDescriptor token, DescriptorKeyID key, DescriptorTypeID type,
                                PIDescriptorHandle value);
using PutCountProc = OSErr (*)(PIWriteDescriptor token, DescriptorKeyID key, uint32_t count);
using PutStringProc = OSErr (*)(PIWriteDescriptor token, DescriptorKeyID key, const unsigned char* value);
using PutScopedClassProc = OSErr (*)(PIWriteDescriptor token, DescriptorKeyID key, DescriptorTypeID type);
using PutScopedObjectProc = OSErr (*)(PIWriteDescriptor token, DescriptorKeyID key, DescriptorTypeID type,
                                      PIDescriptorHandle value);

struct WriteDescriptorProcs {
  int16_t writeDescriptorProcsVersion;
  int16_t numWriteDescriptorProcs;
  OpenWriteDescriptorProc openWriteDescriptorProc;
  CloseWriteDescriptorProc closeWriteDescriptorProc;
  PutIntegerProc putIntegerProc;
  PutFloatProc putFloatProc;
  PutUnitFloatProc putUnitFloatProc;
  PutBooleanProc putBooleanProc;
  PutTextProc putTextProc;
  PutAliasProc putAliasProc;
  PutEnumeratedProc putEnumeratedProc;
  PutClassProc putClassProc;
  PutSimpleReferenceProc putSimpleReferenceProc;
  PutObjectProc putObjectProc;
  PutCountProc putCountProc;
  PutStringProc putStringProc;
  PutScopedClassProc putScopedClassProc;
  PutScopedObjectProc putScopedObjectProc;
};

struct PIDescriptorParameters {
  int16_t descriptorParametersVersion;
  int16_t playInfo;
  int16_t recordInfo;
  PIDescriptorHandle descriptor;  // incoming parameters; on writeFinish we hand back the recorded ones
  WriteDescriptorProcs* writeDescriptorProcs;
  ReadDescriptorProcs* readDescriptorProcs;
};

// ---------------------------------------------------------------------------------------------------------
// Colour services (FormatRecord::colorServices); natural alignment
// ---------------------------------------------------------------------------------------------------------

constexpr int16_t kColorServicesChooseColor = 0;
constexpr int16_t kColorServicesConvertColor = 1;
constexpr int16_t kColorServicesSamplePoint = 2;
constexpr int16_t kColorServicesGetSpecialColor = 3;

union ColorServicesSelectorParameter {
  unsigned char* pickerPrompt;  // choose colour: Pascal string, or NULL for no prompt
  Point16* globalSamplePoint;
  int32_t specialColorID;  // 0 foreground, 1 background
};

struct ColorServicesInfo {
  int32_t infoSize;  // doubles as a version tag: always sizeof(ColorServicesInfo), which differs on x64
  int16_t selector;
  int16_t sourceSpace;
  int16_t resultSpace;
  PIBoolean resultGamutInfoValid;
  PIBoolean resultInGamut;
  void* reservedSourceSpaceInfo;  // must be NULL
  void* reservedResultSpaceInfo;  // must be NULL
  int16_t colorComponents[4];     // RGB: 0..255 each, [3] undefined
  void* reserved;                 // must be NULL
  ColorServicesSelectorParameter selectorParameter;
};

// ---------------------------------------------------------------------------------------------------------
// About box and file records
// ---------------------------------------------------------------------------------------------------------

struct PlatformData {
  intptr_t hwnd;  // window that should own our dialogs
};

struct AboutRecord {
  PlatformData* platformData;
  SPBasicSuite* sSPBasic;
  void* plugInRef;
  uint8_t reserved[244];
};

// Only member: full path of the file as NUL-terminated UTF-16.
struct SPPlatformFileSpecificationW {
  uint16_t* mReference;
};

// Old-style file reference still passed in FormatRecord::fileSpec; prefer fileSpec2.
struct LegacyFileSpec {
  int16_t unused;
  int16_t padding;
  int32_t parID;
  Str255 name;
};

// The host builds this record with 4-byte packing on both Windows targets, so on x64 many 8-byte pointers
// sit at offsets that are only 4-aligned. The record is append-only and owned by the host: an older host's
// record may be shorter, and fields newer than the host read as zero.
#pragma pack(push, 4)
struct FormatRecord {
  int32_t serialNumber;
  TestAbortProc abortProc;
  ProgressProc progressProc;
  int32_t maxData;
  int32_t minDataBytes;
  int32_t maxDataBytes;
  int32_t minRsrcBytes;
  int32_t maxRsrcBytes;
  intptr_t dataFork;  // open file handle during the read and write sequences
  intptr_t rsrcFork;
  LegacyFileSpec* fileSpec;
  int16_t imageMode;
  Point16 imageSize;
  int16_t depth;
  int16_t planes;
  Fixed imageHRes;
  Fixed imageVRes;
  uint8_t redLUT[256];
  uint8_t greenLUT[256];
  uint8_t blueLUT[256];
  void* data;  // pixel buffer for the current request; allocated and freed by us
  Rect16 theRect;
  int16_t loPlane;
  int16_t hiPlane;
  int16_t colBytes;
  int32_t rowBytes;
  int32_t planeBytes;
  int16_t planeMap[16];
  PIBoolean canTranspose;
  PIBoolean needTranspose;
  FourCC hostSig;
  HostProc hostProc;
  int16_t hostModes;
  Handle revertInfo;
  NewPIHandleProc hostNewHdl;
  DisposePIHandleProc hostDisposeHdl;
  Handle imageRsrcData;
  int32_t imageRsrcSize;
  Fixed monitor[10];
  PlatformData* platformData;
  BufferProcs* bufferProcs;
  ResourceProcs* resourceProcs;
  ProcessEventProc processEvent;
  DisplayPixelsProc displayPixels;
  HandleProcs* handleProcs;
  FourCC fileType;
  ColorServicesProc colorServices;
  AdvanceStateProc advanceState;
  PropertyProcs* propertyProcs;
  void* imageServicesProcs;
  int16_t tileWidth;
  int16_t tileHeight;
  Point16 tileOrigin;
  PIDescriptorParameters* descriptorParameters;
  Str255* errorString;
  int32_t maxValue;
  SPBasicSuite* sSPBasic;
  void* plugInRef;
  int32_t transparentIndex;
  Handle iCCprofileData;
  int32_t iCCprofileSize;
  int32_t canUseICCProfiles;
  int32_t lutCount;
  int32_t preferredColorModes;
  int32_t convertMode;
  VPoint preferredSize;
  int32_t imageIndex;
  int32_t transparencyPlane;
  int32_t transparencyMatting;
  void* channelPortProcs;
  void* documentInfo;
  PIBoolean openForPreview;
  int32_t browserRotation;
  int32_t HostSupports32BitCoordinates;
  int32_t PluginUsing32BitCoordinates;
  VPoint imageSize32;
  VRect theRect32;
  uint32_t requestedFileProperty;
  uint32_t filePropertyValue;
  uint32_t fileCount;
  Handle xmp;
  int32_t supportsSkipFile;
  PIBoolean extractQuickThumbnail;
  PIBoolean hostInSecondaryThread;
  uint32_t bulkMask;
  uint32_t* bulkFlags;
  uint32_t presetCount;
  Handle presetNames;
  Handle presetData;
  uint32_t settingsChecksum;
  SPPlatformFileSpecificationW* fileSpec2;
  uint32_t layerData;
  uint16_t* layerName;
  void* renderRecord;
  Handle* bulkParams;
  PIBoolean openAsSmartObject;
  PIDescriptorParameters* layerMetaData;
  uint16_t* finalSpec;
  PIBoolean isTextLayer;
  PIDescriptorHandle* textDescriptor;
  PIBoolean isGroupDivider;
  PIBoolean isGroupStart;
  PIBoolean isVisible;
  PIBoolean isLocked;
  FourCC blendMode;
  uint8_t opacity;
  Handle bulkExtraData;
  void* fileSpecX;
  int16_t hostSupportsPOSIXIO;
  int16_t pluginUsingPOSIXIO;
  int32_t posixFileDescriptor;
  PIBoolean hostSupportsPluginOpeningFile;
  PIBoolean hostSupportsSingleOpenToBulkSwitch;
  PIBoolean pluginWantsSingleOpenToBulkSwitch;
  uint8_t reserved[50];  // zero
};
#pragma pack(pop)

// ---------------------------------------------------------------------------------------------------------
// Layout checks. First figure: 32-bit pointers (Windows x86); second: 64-bit pointers (Windows x64, and
// native LP64 builds, which get the same layout because only fixed-width and pointer types are used).
// ---------------------------------------------------------------------------------------------------------

static_assert(sizeof(void*) == 4 || sizeof(void*) == 8, "only 32- and 64-bit targets are supported");
static_assert(sizeof(intptr_t) == sizeof(void*) && sizeof(size_t) == sizeof(void*),
              "iptr and size_t fields must be pointer-sized");
static_assert(sizeof(void (*)()) == sizeof(void*), "function pointers must be data-pointer-sized");

#define HOST_ABI_SIZE(type, x86, x64) \
  static_assert(sizeof(type) == (sizeof(void*) == 4 ? (x86) : (x64)), "sizeof(" #type ")")
#define HOST_ABI_OFFSET(type, field, x86, x64) \
  static_assert(offsetof(type, field) == (sizeof(void*) == 4 ? (x86) : (x64)), #type "::" #field)
#define HOST_ABI_FIELD(type, field, x86Offset, x86Size, x64Offset, x64Size) \
  HOST_ABI_OFFSET(type, field, x86Offset, x64Offset);                       \
  static_assert(sizeof(type::field) == (sizeof(void*) == 4 ? (x86Size) : (x64Size)), "size of " #type "::" #field)

HOST_ABI_SIZE(OSErr, 2, 2);
HOST_ABI_SIZE(SPErr, 4, 4);
HOST_ABI_SIZE(PIBoolean, 1, 1);
HOST_ABI_SIZE(SPBoolean, 4, 4);
HOST_ABI_SIZE(Fixed, 4, 4);
HOST_ABI_SIZE(FourCC, 4, 4);
HOST_ABI_SIZE(Handle, 4, 8);
HOST_ABI_SIZE(Str255, 256, 256);
HOST_ABI_SIZE(Point16, 4, 4);
HOST_ABI_SIZE(Rect16, 8, 8);
HOST_ABI_SIZE(VPoint, 8, 8);
HOST_ABI_SIZE(VRect, 16, 16);
HOST_ABI_SIZE(Color8, 4, 4);
HOST_ABI_SIZE(Color16, 8, 8);
HOST_ABI_SIZE(CS_XYZColor, 6, 6);
HOST_ABI_SIZE(LegacyFileSpec, 264, 264);
HOST_ABI_SIZE(SPPlatformFileSpecificationW, 4, 8);
HOST_ABI_OFFSET(SPPlatformFileSpecificationW, mReference, 0, 0);
HOST_ABI_OFFSET(Point16, v, 0, 0);
HOST_ABI_OFFSET(Point16, h, 2, 2);
HOST_ABI_OFFSET(VPoint, v, 0, 0);
HOST_ABI_OFFSET(VPoint, h, 4, 4);
HOST_ABI_OFFSET(VRect, top, 0, 0);
HOST_ABI_OFFSET(VRect, left, 4, 4);
HOST_ABI_OFFSET(VRect, bottom, 8, 8);
HOST_ABI_OFFSET(VRect, right, 12, 12);
// FormatRecord
HOST_ABI_SIZE(FormatRecord, 1308, 1472);
HOST_ABI_FIELD(FormatRecord, serialNumber, 0, 4, 0, 4);
HOST_ABI_FIELD(FormatRecord, abortProc, 4, 4, 4, 8);
HOST_ABI_FIELD(FormatRecord, progressProc, 8, 4, 12, 8);
HOST_ABI_FIELD(FormatRecord, maxData, 12, 4, 20, 4);
HOST_ABI_FIELD(FormatRecord, minDataBytes, 16, 4, 24, 4);
HOST_ABI_FIELD(FormatRecord, maxDataBytes, 20, 4, 28, 4);
HOST_ABI_FIELD(FormatRecord, minRsrcBytes, 24, 4, 32, 4);
HOST_ABI_FIELD(FormatRecord, maxRsrcBytes, 28, 4, 36, 4);
HOST_ABI_FIELD(FormatRecord, dataFork, 32, 4, 40, 8);
HOST_ABI_FIELD(FormatRecord, rsrcFork, 36, 4, 48, 8);
HOST_ABI_FIELD(FormatRecord, fileSpec, 40, 4, 56, 8);
HOST_ABI_FIELD(FormatRecord, imageMode, 44, 2, 64, 2);
HOST_ABI_FIELD(FormatRecord, imageSize, 46, 4, 66, 4);
HOST_ABI_FIELD(FormatRecord, depth, 50, 2, 70, 2);
HOST_ABI_FIELD(FormatRecord, planes, 52, 2, 72, 2);
HOST_ABI_FIELD(FormatRecord, imageHRes, 56, 4, 76, 4);
HOST_ABI_FIELD(FormatRecord, imageVRes, 60, 4, 80, 4);
HOST_ABI_FIELD(FormatRecord, redLUT, 64, 256, 84, 256);
HOST_ABI_FIELD(FormatRecord, greenLUT, 320, 256, 340, 256);
HOST_ABI_FIELD(FormatRecord, blueLUT, 576, 256, 596, 256);
HOST_ABI_FIELD(FormatRecord, data, 832, 4, 852, 8);
HOST_ABI_FIELD(FormatRecord, theRect, 836, 8, 860, 8);
HOST_ABI_FIELD(FormatRecord, loPlane, 844, 2, 868, 2);
HOST_ABI_FIELD(FormatRecord, hiPlane, 846, 2, 870, 2);
HOST_ABI_FIELD(FormatRecord, colBytes, 848, 2, 872, 2);
HOST_ABI_FIELD(FormatRecord, rowBytes, 852, 4, 876, 4);
HOST_ABI_FIELD(FormatRecord, planeBytes, 856, 4, 880, 4);
HOST_ABI_FIELD(FormatRecord, planeMap, 860, 32, 884, 32);
HOST_ABI_FIELD(FormatRecord, canTranspose, 892, 1, 916, 1);
HOST_ABI_FIELD(FormatRecord, needTranspose, 893, 1, 917, 1);
HOST_ABI_FIELD(FormatRecord, hostSig, 896, 4, 920, 4);
HOST_ABI_FIELD(FormatRecord, hostProc, 900, 4, 924, 8);
HOST_ABI_FIELD(FormatRecord, hostModes, 904, 2, 932, 2);
HOST_ABI_FIELD(FormatRecord, revertInfo, 908, 4, 936, 8);
HOST_ABI_FIELD(FormatRecord, hostNewHdl, 912, 4, 944, 8);
HOST_ABI_FIELD(FormatRecord, hostDisposeHdl, 916, 4, 952, 8);
HOST_ABI_FIELD(FormatRecord, imageRsrcData, 920, 4, 960, 8);
HOST_ABI_FIELD(FormatRecord, imageRsrcSize, 924, 4, 968, 4);
HOST_ABI_FIELD(FormatRecord, monitor, 928, 40, 972, 40);
HOST_ABI_FIELD(FormatRecord, platformData, 968, 4, 1012, 8);
HOST_ABI_FIELD(FormatRecord, bufferProcs, 972, 4, 1020, 8);
HOST_ABI_FIELD(FormatRecord, resourceProcs, 976, 4, 1028, 8);
HOST_ABI_FIELD(FormatRecord, processEvent, 980, 4, 1036, 8);
HOST_ABI_FIELD(FormatRecord, displayPixels, 984, 4, 1044, 8);
HOST_ABI_FIELD(FormatRecord, handleProcs, 988, 4, 1052, 8);
HOST_ABI_FIELD(FormatRecord, fileType, 992, 4, 1060, 4);
HOST_ABI_FIELD(FormatRecord, colorServices, 996, 4, 1064, 8);
HOST_ABI_FIELD(FormatRecord, advanceState, 1000, 4, 1072, 8);
HOST_ABI_FIELD(FormatRecord, propertyProcs, 1004, 4, 1080, 8);
HOST_ABI_FIELD(FormatRecord, imageServicesProcs, 1008, 4, 1088, 8);
HOST_ABI_FIELD(FormatRecord, tileWidth, 1012, 2, 1096, 2);
HOST_ABI_FIELD(FormatRecord, tileHeight, 1014, 2, 1098, 2);
HOST_ABI_FIELD(FormatRecord, tileOrigin, 1016, 4, 1100, 4);
HOST_ABI_FIELD(FormatRecord, descriptorParameters, 1020, 4, 1104, 8);
HOST_ABI_FIELD(FormatRecord, errorString, 1024, 4, 1112, 8);
HOST_ABI_FIELD(FormatRecord, maxValue, 1028, 4, 1120, 4);
HOST_ABI_FIELD(FormatRecord, sSPBasic, 1032, 4, 1124, 8);
HOST_ABI_FIELD(FormatRecord, plugInRef, 1036, 4, 1132, 8);
HOST_ABI_FIELD(FormatRecord, transparentIndex, 1040, 4, 1140, 4);
HOST_ABI_FIELD(FormatRecord, iCCprofileData, 1044, 4, 1144, 8);
HOST_ABI_FIELD(FormatRecord, iCCprofileSize, 1048, 4, 1152, 4);
HOST_ABI_FIELD(FormatRecord, canUseICCProfiles, 1052, 4, 1156, 4);
HOST_ABI_FIELD(FormatRecord, lutCount, 1056, 4, 1160, 4);
HOST_ABI_FIELD(FormatRecord, preferredColorModes, 1060, 4, 1164, 4);
HOST_ABI_FIELD(FormatRecord, convertMode, 1064, 4, 1168, 4);
HOST_ABI_FIELD(FormatRecord, preferredSize, 1068, 8, 1172, 8);
HOST_ABI_FIELD(FormatRecord, imageIndex, 1076, 4, 1180, 4);
HOST_ABI_FIELD(FormatRecord, transparencyPlane, 1080, 4, 1184, 4);
HOST_ABI_FIELD(FormatRecord, transparencyMatting, 1084, 4, 1188, 4);
HOST_ABI_FIELD(FormatRecord, channelPortProcs, 1088, 4, 1192, 8);
HOST_ABI_FIELD(FormatRecord, documentInfo, 1092, 4, 1200, 8);
HOST_ABI_FIELD(FormatRecord, openForPreview, 1096, 1, 1208, 1);
HOST_ABI_FIELD(FormatRecord, browserRotation, 1100, 4, 1212, 4);
HOST_ABI_FIELD(FormatRecord, HostSupports32BitCoordinates, 1104, 4, 1216, 4);
HOST_ABI_FIELD(FormatRecord, PluginUsing32BitCoordinates, 1108, 4, 1220, 4);
HOST_ABI_FIELD(FormatRecord, imageSize32, 1112, 8, 1224, 8);
HOST_ABI_FIELD(FormatRecord, theRect32, 1120, 16, 1232, 16);
HOST_ABI_FIELD(FormatRecord, requestedFileProperty, 1136, 4, 1248, 4);
HOST_ABI_FIELD(FormatRecord, filePropertyValue, 1140, 4, 1252, 4);
HOST_ABI_FIELD(FormatRecord, fileCount, 1144, 4, 1256, 4);
HOST_ABI_FIELD(FormatRecord, xmp, 1148, 4, 1260, 8);
HOST_ABI_FIELD(FormatRecord, supportsSkipFile, 1152, 4, 1268, 4);
HOST_ABI_FIELD(FormatRecord, extractQuickThumbnail, 1156, 1, 1272, 1);
HOST_ABI_FIELD(FormatRecord, hostInSecondaryThread, 1157, 1, 1273, 1);
HOST_ABI_FIELD(FormatRecord, bulkMask, 1160, 4, 1276, 4);
HOST_ABI_FIELD(FormatRecord, bulkFlags, 1164, 4, 1280, 8);
HOST_ABI_FIELD(FormatRecord, presetCount, 1168, 4, 1288, 4);
HOST_ABI_FIELD(FormatRecord, presetNames, 1172, 4, 1292, 8);
HOST_ABI_FIELD(FormatRecord, presetData, 1176, 4, 1300, 8);
HOST_ABI_FIELD(FormatRecord, settingsChecksum, 1180, 4, 1308, 4);
HOST_ABI_FIELD(FormatRecord, fileSpec2, 1184, 4, 1312, 8);
HOST_ABI_FIELD(FormatRecord, layerData, 1188, 4, 1320, 4);
HOST_ABI_FIELD(FormatRecord, layerName, 1192, 4, 1324, 8);
HOST_ABI_FIELD(FormatRecord, renderRecord, 1196, 4, 1332, 8);
HOST_ABI_FIELD(FormatRecord, bulkParams, 1200, 4, 1340, 8);
HOST_ABI_FIELD(FormatRecord, openAsSmartObject, 1204, 1, 1348, 1);
HOST_ABI_FIELD(FormatRecord, layerMetaData, 1208, 4, 1352, 8);
HOST_ABI_FIELD(FormatRecord, finalSpec, 1212, 4, 1360, 8);
HOST_ABI_FIELD(FormatRecord, isTextLayer, 1216, 1, 1368, 1);
HOST_ABI_FIELD(FormatRecord, textDescriptor, 1220, 4, 1372, 8);
HOST_ABI_FIELD(FormatRecord, isGroupDivider, 1224, 1, 1380, 1);
HOST_ABI_FIELD(FormatRecord, isGroupStart, 1225, 1, 1381, 1);
HOST_ABI_FIELD(FormatRecord, isVisible, 1226, 1, 1382, 1);
HOST_ABI_FIELD(FormatRecord, isLocked, 1227, 1, 1383, 1);
HOST_ABI_FIELD(FormatRecord, blendMode, 1228, 4, 1384, 4);
HOST_ABI_FIELD(FormatRecord, opacity, 1232, 1, 1388, 1);
HOST_ABI_FIELD(FormatRecord, bulkExtraData, 1236, 4, 1392, 8);
HOST_ABI_FIELD(FormatRecord, fileSpecX, 1240, 4, 1400, 8);
HOST_ABI_FIELD(FormatRecord, hostSupportsPOSIXIO, 1244, 2, 1408, 2);
HOST_ABI_FIELD(FormatRecord, pluginUsingPOSIXIO, 1246, 2, 1410, 2);
HOST_ABI_FIELD(FormatRecord, posixFileDescriptor, 1248, 4, 1412, 4);
HOST_ABI_FIELD(FormatRecord, hostSupportsPluginOpeningFile, 1252, 1, 1416, 1);
HOST_ABI_FIELD(FormatRecord, hostSupportsSingleOpenToBulkSwitch, 1253, 1, 1417, 1);
HOST_ABI_FIELD(FormatRecord, pluginWantsSingleOpenToBulkSwitch, 1254, 1, 1418, 1);
HOST_ABI_FIELD(FormatRecord, reserved, 1255, 50, 1419, 50);

// AboutRecord
HOST_ABI_SIZE(AboutRecord, 256, 272);
HOST_ABI_FIELD(AboutRecord, platformData, 0, 4, 0, 8);
HOST_ABI_FIELD(AboutRecord, sSPBasic, 4, 4, 8, 8);
HOST_ABI_FIELD(AboutRecord, plugInRef, 8, 4, 16, 8);
HOST_ABI_FIELD(AboutRecord, reserved, 12, 244, 24, 244);

// PlatformData
HOST_ABI_SIZE(PlatformData, 4, 8);
HOST_ABI_FIELD(PlatformData, hwnd, 0, 4, 0, 8);

// SPBasicSuite
HOST_ABI_SIZE(SPBasicSuite, 28, 56);
HOST_ABI_FIELD(SPBasicSuite, AcquireSuite, 0, 4, 0, 8);
HOST_ABI_FIELD(SPBasicSuite, ReleaseSuite, 4, 4, 8, 8);
HOST_ABI_FIELD(SPBasicSuite, IsEqual, 8, 4, 16, 8);
HOST_ABI_FIELD(SPBasicSuite, AllocateBlock, 12, 4, 24, 8);
HOST_ABI_FIELD(SPBasicSuite, FreeBlock, 16, 4, 32, 8);
HOST_ABI_FIELD(SPBasicSuite, ReallocateBlock, 20, 4, 40, 8);
HOST_ABI_FIELD(SPBasicSuite, Undefined, 24, 4, 48, 8);

// PSHandleSuite1 has the same entries minus DisposeRegularHandle
HOST_ABI_SIZE(PSHandleSuite1, 24, 48);

// PSHandleSuite2
HOST_ABI_SIZE(PSHandleSuite2, 28, 56);
HOST_ABI_FIELD(PSHandleSuite2, New, 0, 4, 0, 8);
HOST_ABI_FIELD(PSHandleSuite2, Dispose, 4, 4, 8, 8);
HOST_ABI_FIELD(PSHandleSuite2, DisposeRegularHandle, 8, 4, 16, 8);
HOST_ABI_FIELD(PSHandleSuite2, SetLock, 12, 4, 24, 8);
HOST_ABI_FIELD(PSHandleSuite2, GetSize, 16, 4, 32, 8);
HOST_ABI_FIELD(PSHandleSuite2, SetSize, 20, 4, 40, 8);
HOST_ABI_FIELD(PSHandleSuite2, RecoverSpace, 24, 4, 48, 8);

// PSBufferSuite1
HOST_ABI_SIZE(PSBufferSuite1, 16, 32);
HOST_ABI_FIELD(PSBufferSuite1, New, 0, 4, 0, 8);
HOST_ABI_FIELD(PSBufferSuite1, Dispose, 4, 4, 8, 8);
HOST_ABI_FIELD(PSBufferSuite1, GetSize, 8, 4, 16, 8);
HOST_ABI_FIELD(PSBufferSuite1, GetSpace, 12, 4, 24, 8);

// PSColorSpaceSuite1
HOST_ABI_SIZE(PSColorSpaceSuite1, 64, 128);
HOST_ABI_FIELD(PSColorSpaceSuite1, Make, 0, 4, 0, 8);
HOST_ABI_FIELD(PSColorSpaceSuite1, Delete, 4, 4, 8, 8);
HOST_ABI_FIELD(PSColorSpaceSuite1, StuffComponents, 8, 4, 16, 8);
HOST_ABI_FIELD(PSColorSpaceSuite1, ExtractComponents, 12, 4, 24, 8);
HOST_ABI_FIELD(PSColorSpaceSuite1, StuffXYZ, 16, 4, 32, 8);
HOST_ABI_FIELD(PSColorSpaceSuite1, ExtractXYZ, 20, 4, 40, 8);
HOST_ABI_FIELD(PSColorSpaceSuite1, Convert8, 24, 4, 48, 8);
HOST_ABI_FIELD(PSColorSpaceSuite1, Convert16, 28, 4, 56, 8);
HOST_ABI_FIELD(PSColorSpaceSuite1, GetNativeSpace, 32, 4, 64, 8);
HOST_ABI_FIELD(PSColorSpaceSuite1, IsBookColor, 36, 4, 72, 8);
HOST_ABI_FIELD(PSColorSpaceSuite1, ExtractColorName, 40, 4, 80, 8);
HOST_ABI_FIELD(PSColorSpaceSuite1, PickColor, 44, 4, 88, 8);
HOST_ABI_FIELD(PSColorSpaceSuite1, Convert8to16, 48, 4, 96, 8);
HOST_ABI_FIELD(PSColorSpaceSuite1, Convert16to8, 52, 4, 104, 8);
HOST_ABI_FIELD(PSColorSpaceSuite1, ConvertToMonitorRGB, 56, 4, 112, 8);
HOST_ABI_FIELD(PSColorSpaceSuite1, Convert32to8, 60, 4, 120, 8);

// ResourceProcs
HOST_ABI_SIZE(ResourceProcs, 20, 40);
HOST_ABI_FIELD(ResourceProcs, resourceProcsVersion, 0, 2, 0, 2);
HOST_ABI_FIELD(ResourceProcs, numResourceProcs, 2, 2, 2, 2);
HOST_ABI_FIELD(ResourceProcs, countProc, 4, 4, 8, 8);
HOST_ABI_FIELD(ResourceProcs, getProc, 8, 4, 16, 8);
HOST_ABI_FIELD(ResourceProcs, deleteProc, 12, 4, 24, 8);
HOST_ABI_FIELD(ResourceProcs, addProc, 16, 4, 32, 8);

// HandleProcs
HOST_ABI_SIZE(HandleProcs, 36, 72);
HOST_ABI_FIELD(HandleProcs, handleProcsVersion, 0, 2, 0, 2);
HOST_ABI_FIELD(HandleProcs, numHandleProcs, 2, 2, 2, 2);
HOST_ABI_FIELD(HandleProcs, newProc, 4, 4, 8, 8);
HOST_ABI_FIELD(HandleProcs, disposeProc, 8, 4, 16, 8);
HOST_ABI_FIELD(HandleProcs, getSizeProc, 12, 4, 24, 8);
HOST_ABI_FIELD(HandleProcs, setSizeProc, 16, 4, 32, 8);
HOST_ABI_FIELD(HandleProcs, lockProc, 20, 4, 40, 8);
HOST_ABI_FIELD(HandleProcs, unlockProc, 24, 4, 48, 8);
HOST_ABI_FIELD(HandleProcs, recoverSpaceProc, 28, 4, 56, 8);
HOST_ABI_FIELD(HandleProcs, disposeRegularHandleProc, 32, 4, 64, 8);

// BufferProcs
HOST_ABI_SIZE(BufferProcs, 36, 72);
HOST_ABI_FIELD(BufferProcs, bufferProcsVersion, 0, 2, 0, 2);
HOST_ABI_FIELD(BufferProcs, numBufferProcs, 2, 2, 2, 2);
HOST_ABI_FIELD(BufferProcs, allocateProc, 4, 4, 8, 8);
HOST_ABI_FIELD(BufferProcs, lockProc, 8, 4, 16, 8);
HOST_ABI_FIELD(BufferProcs, unlockProc, 12, 4, 24, 8);
HOST_ABI_FIELD(BufferProcs, freeProc, 16, 4, 32, 8);
HOST_ABI_FIELD(BufferProcs, spaceProc, 20, 4, 40, 8);
HOST_ABI_FIELD(BufferProcs, reserveProc, 24, 4, 48, 8);
HOST_ABI_FIELD(BufferProcs, allocateProc64, 28, 4, 56, 8);
HOST_ABI_FIELD(BufferProcs, spaceProc64, 32, 4, 64, 8);

// PropertyProcs
HOST_ABI_SIZE(PropertyProcs, 12, 24);
HOST_ABI_FIELD(PropertyProcs, propertyProcsVersion, 0, 2, 0, 2);
HOST_ABI_FIELD(PropertyProcs, numPropertyProcs, 2, 2, 2, 2);
HOST_ABI_FIELD(PropertyProcs, getPropertyProc, 4, 4, 8, 8);
HOST_ABI_FIELD(PropertyProcs, setPropertyProc, 8, 4, 16, 8);

// PIDescriptorParameters
HOST_ABI_SIZE(PIDescriptorParameters, 20, 32);
HOST_ABI_FIELD(PIDescriptorParameters, descriptorParametersVersion, 0, 2, 0, 2);
HOST_ABI_FIELD(PIDescriptorParameters, playInfo, 2, 2, 2, 2);
HOST_ABI_FIELD(PIDescriptorParameters, recordInfo, 4, 2, 4, 2);
HOST_ABI_FIELD(PIDescriptorParameters, descriptor, 8, 4, 8, 8);
HOST_ABI_FIELD(PIDescriptorParameters, writeDescriptorProcs, 12, 4, 16, 8);
HOST_ABI_FIELD(PIDescriptorParameters, readDescriptorProcs, 16, 4, 24, 8);

// ReadDescriptorProcs
HOST_ABI_SIZE(ReadDescriptorProcs, 76, 152);
HOST_ABI_FIELD(ReadDescriptorProcs, readDescriptorProcsVersion, 0, 2, 0, 2);
HOST_ABI_FIELD(ReadDescriptorProcs, numReadDescriptorProcs, 2, 2, 2, 2);
HOST_ABI_FIELD(ReadDescriptorProcs, openReadDescriptorProc, 4, 4, 8, 8);
HOST_ABI_FIELD(ReadDescriptorProcs, closeReadDescriptorProc, 8, 4, 16, 8);
HOST_ABI_FIELD(ReadDescriptorProcs, getKeyProc, 12, 4, 24, 8);
HOST_ABI_FIELD(ReadDescriptorProcs, getIntegerProc, 16, 4, 32, 8);
HOST_ABI_FIELD(ReadDescriptorProcs, getFloatProc, 20, 4, 40, 8);
HOST_ABI_FIELD(ReadDescriptorProcs, getUnitFloatProc, 24, 4, 48, 8);
HOST_ABI_FIELD(ReadDescriptorProcs, getBooleanProc, 28, 4, 56, 8);
HOST_ABI_FIELD(ReadDescriptorProcs, getTextProc, 32, 4, 64, 8);
HOST_ABI_FIELD(ReadDescriptorProcs, getAliasProc, 36, 4, 72, 8);
HOST_ABI_FIELD(ReadDescriptorProcs, getEnumeratedProc, 40, 4, 80, 8);
HOST_ABI_FIELD(ReadDescriptorProcs, getClassProc, 44, 4, 88, 8);
HOST_ABI_FIELD(ReadDescriptorProcs, getSimpleReferenceProc, 48, 4, 96, 8);
HOST_ABI_FIELD(ReadDescriptorProcs, getObjectProc, 52, 4, 104, 8);
HOST_ABI_FIELD(ReadDescriptorProcs, getCountProc, 56, 4, 112, 8);
HOST_ABI_FIELD(ReadDescriptorProcs, getStringProc, 60, 4, 120, 8);
HOST_ABI_FIELD(ReadDescriptorProcs, getPinnedIntegerProc, 64, 4, 128, 8);
HOST_ABI_FIELD(ReadDescriptorProcs, getPinnedFloatProc, 68, 4, 136, 8);
HOST_ABI_FIELD(ReadDescriptorProcs, getPinnedUnitFloatProc, 72, 4, 144, 8);

// WriteDescriptorProcs
HOST_ABI_SIZE(WriteDescriptorProcs, 68, 136);
HOST_ABI_FIELD(WriteDescriptorProcs, writeDescriptorProcsVersion, 0, 2, 0, 2);
HOST_ABI_FIELD(WriteDescriptorProcs, numWriteDescriptorProcs, 2, 2, 2, 2);
HOST_ABI_FIELD(WriteDescriptorProcs, openWriteDescriptorProc, 4, 4, 8, 8);
HOST_ABI_FIELD(WriteDescriptorProcs, closeWriteDescriptorProc, 8, 4, 16, 8);
HOST_ABI_FIELD(WriteDescriptorProcs, putIntegerProc, 12, 4, 24, 8);
HOST_ABI_FIELD(WriteDescriptorProcs, putFloatProc, 16, 4, 32, 8);
HOST_ABI_FIELD(WriteDescriptorProcs, putUnitFloatProc, 20, 4, 40, 8);
HOST_ABI_FIELD(WriteDescriptorProcs, putBooleanProc, 24, 4, 48, 8);
HOST_ABI_FIELD(WriteDescriptorProcs, putTextProc, 28, 4, 56, 8);
HOST_ABI_FIELD(WriteDescriptorProcs, putAliasProc, 32, 4, 64, 8);
HOST_ABI_FIELD(WriteDescriptorProcs, putEnumeratedProc, 36, 4, 72, 8);
HOST_ABI_FIELD(WriteDescriptorProcs, putClassProc, 40, 4, 80, 8);
HOST_ABI_FIELD(WriteDescriptorProcs, putSimpleReferenceProc, 44, 4, 88, 8);
HOST_ABI_FIELD(WriteDescriptorProcs, putObjectProc, 48, 4, 96, 8);
HOST_ABI_FIELD(WriteDescriptorProcs, putCountProc, 52, 4, 104, 8);
HOST_ABI_FIELD(WriteDescriptorProcs, putStringProc, 56, 4, 112, 8);
HOST_ABI_FIELD(WriteDescriptorProcs, putScopedClassProc, 60, 4, 120, 8);
HOST_ABI_FIELD(WriteDescriptorProcs, putScopedObjectProc, 64, 4, 128, 8);

// ColorServicesInfo
HOST_ABI_SIZE(ColorServicesInfo, 36, 56);
HOST_ABI_FIELD(ColorServicesInfo, infoSize, 0, 4, 0, 4);
HOST_ABI_FIELD(ColorServicesInfo, selector, 4, 2, 4, 2);
HOST_ABI_FIELD(ColorServicesInfo, sourceSpace, 6, 2, 6, 2);
HOST_ABI_FIELD(ColorServicesInfo, resultSpace, 8, 2, 8, 2);
HOST_ABI_FIELD(ColorServicesInfo, resultGamutInfoValid, 10, 1, 10, 1);
HOST_ABI_FIELD(ColorServicesInfo, resultInGamut, 11, 1, 11, 1);
HOST_ABI_FIELD(ColorServicesInfo, reservedSourceSpaceInfo, 12, 4, 16, 8);
HOST_ABI_FIELD(ColorServicesInfo, reservedResultSpaceInfo, 16, 4, 24, 8);
HOST_ABI_FIELD(ColorServicesInfo, colorComponents, 20, 8, 32, 8);
HOST_ABI_FIELD(ColorServicesInfo, reserved, 28, 4, 40, 8);
HOST_ABI_FIELD(ColorServicesInfo, selectorParameter, 32, 4, 48, 8);

#undef HOST_ABI_SIZE
#undef HOST_ABI_OFFSET
#undef HOST_ABI_FIELD
