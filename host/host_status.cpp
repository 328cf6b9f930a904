#include "host/host_status.h"

OSErr ResultCode(HostStatus status) {
  switch (status.kind_) {
    case HostStatus::Ok: return kNoErr;
    case HostStatus::Cancelled: return kUserCanceledErr;
    case HostStatus::Failed: return kUserCanceledErr;
    case HostStatus::OutOfMemory: return kMemFullErr;
    case HostStatus::WriteFailed: return kWriteErr;
    case HostStatus::BadParameters: return kFormatBadParameters;
    case HostStatus::HostInsufficient: return kHostInsufficient;
    case HostStatus::HostError: return status.hostCode_;
  }
  return kUserCanceledErr;  // no other kind exists
}
