#pragma once
// How a step of a host call ended. Every step hands its status back as its return value, and the host hears of
// the call's outcome only as its int16 result code, which ResultCode chooses: the one place where the codes are.
#include <cstdint>

#include "host/host_abi.h"

class [[nodiscard]] HostStatus {
 public:
  enum Kind : uint8_t {
    Ok,
    Cancelled,         // the user cancelled, or the host asked the save to stop
    Failed,            // a failure of the plug-in's own (a buffer or suite it cannot have), told as a cancel
    OutOfMemory,       // the image cannot fit this process, or the host's memory ran out
    WriteFailed,       // the host's file, or the temporary PNG the save copies into it, failed
    BadParameters,     // the host's records describe something this plug-in cannot take
    HostInsufficient,  // the host lacks a callback or suite the plug-in needs
    HostError,         // the host's own code (from a callback of its own, or handed in with the call)
  };

  // A kind is a status, so that a step can answer `return HostStatus::WriteFailed;`.
  constexpr HostStatus(Kind kind) : kind_(kind) {}
  // What the host itself answered: Ok for 0, else its code, to be passed back unchanged.
  static constexpr HostStatus FromHost(OSErr code) { return code == kNoErr ? HostStatus(Ok) : HostStatus(code); }

  friend constexpr bool operator==(HostStatus a, HostStatus b) {
    return a.kind_ == b.kind_ && a.hostCode_ == b.hostCode_;
  }
  friend constexpr bool operator!=(HostStatus a, HostStatus b) { return !(a == b); }
  friend OSErr ResultCode(HostStatus status);

 private:
  explicit constexpr HostStatus(OSErr hostCode) : kind_(HostError), hostCode_(hostCode) {}

  Kind kind_;
  OSErr hostCode_ = kNoErr;
};

// The host's result code for a status: 0 Ok; -128 Cancelled and Failed; -108 OutOfMemory; -20 WriteFailed;
// -30500 BadParameters; -30900 HostInsufficient; the host's own code for HostError.
OSErr ResultCode(HostStatus status);
