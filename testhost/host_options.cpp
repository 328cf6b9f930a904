#include "testhost/host_options.h"

FakeHostOptions FakeHostOptionsFor(const VexhostArguments& arguments) {
  FakeHostOptions options;
  options.pickRed = arguments.pick[0];
  options.pickGreen = arguments.pick[1];
  options.pickBlue = arguments.pick[2];
  options.destinationRefusesAfter = arguments.failWriteAfter;
  if (arguments.playInfo) options.playInfo = *arguments.playInfo;
  options.abortAfter = arguments.abortAfter;
  options.embedProfile = arguments.embedProfile;
  options.deepModes = arguments.deepModes;
  return options;
}
