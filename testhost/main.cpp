#include "testhost/main.h"

#include <cstdio>
#include <optional>

#include "testhost/command_line.h"
#include "testhost/document_options.h"
#include "testhost/fake_host.h"
#include "testhost/file_contents.h"
#include "testhost/host_files.h"
#include "testhost/host_options.h"
#include "testhost/image_io.h"
#include "testhost/plugin_module.h"
#include "testhost/ui_driver.h"
#include "testhost/ui_script.h"

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitPluginFailed = 1;
constexpr int kExitUsage = 2;

int Fail(const std::string& message) {
  std::fprintf(stderr, "vexhost: %s\n", message.c_str());
  return kExitUsage;
}

void PrintCalls(const FakeHost& host) {
  for (const SelectorResult& call : host.Calls()) std::printf("selector %d result %d\n", call.selector, call.result);
}

bool WriteRecord(const std::string& path, const DescriptorItems& items) {
  FILE* file = OpenFileByUtf8Path(path, "wb");
  if (file == nullptr) return false;
  for (const DescriptorItem& item : items) {
    std::fprintf(file, "%s %ld\n", KeyText(item.key).c_str(), static_cast<long>(item.value));
  }
  return std::fclose(file) == 0;
}

int RunAbout(const PluginModule& plugin, const std::string& uiScript, std::optional<std::vector<UiAction>> uiActions) {
  FakeHost host(HostImage{});
  UiDriver driver;
  std::string error;
  if (uiActions && !driver.Start(std::move(*uiActions), UiDialog::kAbout, &error)) return Fail(error);
  const int16_t result = host.About(plugin.Entry());
  const std::string uiFailure = driver.Finish();
  PrintCalls(host);
  if (!uiFailure.empty()) return Fail(uiScript + " " + uiFailure);
  return result == 0 ? kExitSuccess : kExitPluginFailed;
}

int RunEstimate(const PluginModule& plugin, const VexhostArguments& arguments, HostImage image) {
  FakeHost host(std::move(image), FakeHostOptionsFor(arguments));
  const int16_t result = host.Estimate(plugin.Entry());
  if (result != 0) {
    PrintCalls(host);
    return kExitPluginFailed;
  }
  std::printf("%ld\n", static_cast<long>(host.Record().minDataBytes));
  return kExitSuccess;
}

// The script's actions; nullopt with *error set when the file cannot be read or holds a line that is no action.
std::optional<std::vector<UiAction>> ReadUiScript(const std::string& path, std::string* error) {
  const std::optional<std::string> text = ReadFileContents(path);
  if (!text) {
    *error = "cannot read the UI script " + path;
    return std::nullopt;
  }
  std::optional<std::vector<UiAction>> actions = ParseUiScript(*text, error);
  if (!actions) *error = path + " " + *error;
  return actions;
}

int RunSave(const PluginModule& plugin, const VexhostArguments& arguments, HostImage image,
            std::optional<std::vector<UiAction>> uiActions) {
  std::string error;
  std::string notice;
  if (!ApplyDocumentOptions(arguments, kSrgbProfilePath, &image, &error, &notice)) return Fail(error);
  if (!notice.empty()) std::fprintf(stderr, "vexhost: %s\n", notice.c_str());
  FakeHost host(std::move(image), FakeHostOptionsFor(arguments));
  if (!host.SetDestination(arguments.output)) return Fail("cannot open " + arguments.output + " for writing");
  if (!arguments.parameters.empty()) host.SetParameters(arguments.parameters);
  UiDriver driver;
  if (uiActions && !driver.Start(std::move(*uiActions), UiDialog::kPreview, &error)) return Fail(error);
  const int16_t result = host.Save(plugin.Entry());
  const std::string uiFailure = driver.Finish();
  host.CloseDestination();
  PrintCalls(host);
  if (!arguments.recordPath.empty() && !WriteRecord(arguments.recordPath, host.RecordedDescriptor())) {
    return Fail("cannot write " + arguments.recordPath);
  }
  if (!uiFailure.empty()) return Fail(arguments.uiScript + " " + uiFailure);
  return result == 0 ? kExitSuccess : kExitPluginFailed;
}

}  // namespace

int VexhostMain(const std::vector<std::string>& arguments) {
  std::string error;
  const std::optional<VexhostArguments> parsed = ParseVexhostArguments(arguments, &error);
  if (!parsed) {
    std::fprintf(stderr, "vexhost: %s\n%s", error.c_str(), kVexhostUsage);
    return kExitUsage;
  }
  std::optional<std::vector<UiAction>> uiActions;
  if (!parsed->uiScript.empty()) {
    if (!UiDriver::Supported()) {
      return Fail("--ui drives the plug-in's real dialogs, which only the Windows vexhost.exe shows");
    }
    uiActions = ReadUiScript(parsed->uiScript, &error);
    if (!uiActions) return Fail(error);
  }

  PluginModule plugin;
  if (!plugin.Open(parsed->pluginPath, &error)) return Fail(error);
  if (parsed->command == VexhostCommand::kAbout) return RunAbout(plugin, parsed->uiScript, std::move(uiActions));

  std::optional<HostImage> image = ReadImageFile(parsed->input, &error);
  if (!image) return Fail(error);
  if (parsed->command == VexhostCommand::kEstimate) return RunEstimate(plugin, *parsed, std::move(*image));
  if (!plugin.SetDialogAnswer(parsed->cancel, &error)) return Fail(error);
  return RunSave(plugin, *parsed, std::move(*image), std::move(uiActions));
}
