#pragma once
// A host for format plug-ins on plain memory. FakeHost owns a FormatRecord and everything behind it, runs
// the selectors in the host's order, and keeps what the plug-in asked of it so tests can check that.
//
// The host's callbacks are plain function pointers without user data, so they act on the current host:
// the FakeHost constructed last, or the one whose Call runs (MakeCurrent switches explicitly). A callback
// that runs while no FakeHost exists fails harmlessly.
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "host/host_abi.h"
#include "testhost/buffer_store.h"
#include "testhost/data_request.h"
#include "testhost/descriptor_items.h"
#include "testhost/handle_store.h"
#include "testhost/host_files.h"
#include "testhost/host_image.h"

struct FakeHostOptions {
  bool noBasicSuite = false;              // sSPBasic left null (in the about record too)
  std::set<std::string> refusedSuites;    // AcquireSuite answers kSPSuiteNotFoundError for these names
  bool handleNewFails = false;            // Handle suite: New returns nullptr
  bool handleLockGivesNoAddress = false;  // Handle suite: SetLock yields a null address
  bool bufferNewRefuses = false;          // Buffer suite: New returns nullptr
  bool noResourceProcs = false;           // resourceProcs left null
  bool noAdvanceState = false;            // advanceState left null
  int advanceStateFailPlane = -1;         // advance state fails, filling nothing, when asked for this plane
  OSErr advanceStateFailCode = kUserCanceledErr;
  bool supports32BitCoordinates = true;   // HostSupports32BitCoordinates and imageSize32 set
  bool noDescriptorParameters = false;    // descriptorParameters left null
  int16_t playInfo = kPlayDialogDisplay;  // the descriptor parameters' play information: show the dialog
  int abortAfter = -1;                    // the abort callback answers yes from its abortAfter-th call on; -1 never
  int64_t destinationRefusesAfter = -1;   // the destination takes this many bytes, then refuses every write
                                          // (DestinationFile::RefuseWritesAfter); negative: no limit
  bool embedProfile = false;              // "Embed Color Profile" ticked: a save gets the image's iccProfile
  bool deepModes = false;                 // a 16-bit document's mode is Gray16 or RGB48 instead of gray or RGB
  uint8_t pickRed = 0;                    // the colour the colour picker answers with
  uint8_t pickGreen = 0;
  uint8_t pickBlue = 0;
};

struct SelectorResult {
  int16_t selector = 0;
  int16_t result = 0;
};

struct SuiteUse {
  int acquired = 0;
  int released = 0;
  int refused = 0;  // refused by option, unknown name or unknown version
};

struct ProgressReport {
  int32_t done = 0;
  int32_t total = 0;
};

struct ColorPick {
  std::string prompt;       // the Pascal-string prompt as text; empty for none
  int16_t initial[4] = {};  // the colour the request started from
};

// Everything the host keeps and observes; the callbacks change it, tests read it through FakeHost::Seen().
struct FakeHostState {
  HostImage image;
  FakeHostOptions options;
  FormatRecord* record = nullptr;
  HandleStore handles;
  BufferStore buffers;
  std::map<std::string, SuiteUse> suites;  // by suite name
  int advanceStateCalls = 0;
  std::vector<DataRequest> dataRequests;  // one per advance-state call, as the record described it
  int resourceCalls = 0;                  // count, get, delete and add together; a plug-in should make none
  int abortChecks = 0;
  std::vector<ProgressReport> progress;
  int colorConversions = 0;             // calls of the ColorSpace suite's Convert8
  std::vector<ColorPick> colorPicks;    // choose-colour requests answered
  Handle profileHanded = nullptr;       // iCCprofileData as handed for the save running; nullptr when none
  Handle xmpHanded = nullptr;           // xmp as handed for the save running; nullptr when none
  Handle incomingDescriptor = nullptr;  // the descriptor handed to the plug-in; nullptr once disposed
  int incomingDescriptorDisposals = 0;  // disposals of it through the Handle suite
  int readOpens = 0;
  int readCloses = 0;
  std::vector<DescriptorKeyID> readKeyList;      // the key list of the last read opened
  std::vector<DescriptorKeyID> undeliveredKeys;  // its entries still non-zero at close
  std::map<PIReadDescriptor, std::unique_ptr<DescriptorReader>> readers;
  int writeOpens = 0;
  int writeCloses = 0;
  DescriptorItems writtenParameters;        // the puts of the last write token closed, in order
  std::vector<Handle> descriptorsReturned;  // handles the write closes handed back
  std::map<PIWriteDescriptor, std::unique_ptr<DescriptorWriter>> writers;
};

class FakeHost {
 public:
  explicit FakeHost(HostImage image, FakeHostOptions options = {});
  ~FakeHost();
  FakeHost(const FakeHost&) = delete;
  FakeHost& operator=(const FakeHost&) = delete;

  // The host the callbacks act on; nullptr when none.
  static FakeHost* Current();
  void MakeCurrent();

  FormatRecord& Record() { return record_; }
  const FakeHostState& Seen() const { return state_; }
  FakeHostState& State() { return state_; }

  // Opens (creates or empties) the destination for writing; its handle goes into dataFork and its full
  // UTF-16 path into fileSpec2. False when it cannot be opened, or cannot be given the chosen write limit.
  bool SetDestination(const std::string& utf8Path);
  // Closes the destination, so its contents can be read back; dataFork becomes -1.
  void CloseDestination();
  // Incoming scripting parameters, delivered by getKey in this order. Replaces the record's descriptor
  // with a new handle of the Handle suite; no effect with noDescriptorParameters.
  void SetParameters(const DescriptorItems& items);

  // One call of the entry point with the result set to 0 first; the host's data slot persists between calls.
  int16_t Call(PluginEntryProc entry, int16_t selector);
  // Selector 0 with an about record whose platform data carries window.
  int16_t About(PluginEntryProc entry, intptr_t window = 0);
  // Write prepare, start, continue, finish (13-16). Stops at the first non-zero result, except that write
  // finish still follows a failed write continue. The first non-zero result, or 0. For the length of the save
  // the record carries the document's XMP and, with embedProfile, its profile, in handles of the host's own
  // store that the host frees afterwards.
  int16_t Save(PluginEntryProc entry);
  // Estimate prepare, start, continue, finish (9-12), stopping at the first non-zero result, which it returns.
  int16_t Estimate(PluginEntryProc entry);

  // Selectors called so far and their results, in order.
  const std::vector<SelectorResult>& Calls() const { return calls_; }
  intptr_t DataSlot() const { return dataSlot_; }
  SuiteUse SuiteUseOf(const std::string& name) const;
  // The integer items of the descriptor the record holds now (after write finish: what the plug-in recorded).
  DescriptorItems RecordedDescriptor() const;

 private:
  int16_t RunWriteSelectors(PluginEntryProc entry);
  void HandOverDocumentHandles();
  void TakeBackDocumentHandles();

  FormatRecord record_{};
  FakeHostState state_;
  intptr_t dataSlot_ = 0;
  std::vector<SelectorResult> calls_;
  DestinationFile destination_;
  SPPlatformFileSpecificationW fileSpec2_{};
  std::u16string destinationPath_;
  ResourceProcs resourceProcs_{};
  PIDescriptorParameters descriptorParameters_{};
  ReadDescriptorProcs readDescriptorProcs_{};
  WriteDescriptorProcs writeDescriptorProcs_{};
  PlatformData platformData_{};
  Str255 errorString_{};
  AboutRecord aboutRecord_{};
};
