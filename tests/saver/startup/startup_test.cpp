#include "saver/startup/startup.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

using Sorvanta_B::StartupOutcome;

// Records every step start-up takes, in order.
class FakeStartupPort : public Sorvanta_B::StartupPort {
 public:
  std::set<std::string> openCaptions;
  bool rendererPresent = true;
  bool runFormCreated = true;
  std::vector<std::string> steps;

  bool topLevelWindowExists(const std::string& caption) override {
    return openCaptions.count(caption) > 0;
  }
  void embedPreview(std::uint32_t parent) override {
    steps.push_back("preview " + std::to_string(parent));
  }
  void createFolder(const std::string& path) override { steps.push_back("folder " + path); }
  void loadSettings() override { steps.push_back("settings"); }
  std::string programFolder() override { return "D:\\Saver"; }
  bool fileExists(const std::string& path) override {
    steps.push_back("exists " + path);
    return rendererPresent;
  }
  void showMessage(const std::string& text) override { steps.push_back("message " + text); }
  void showSettingsDialog() override { steps.push_back("dialog"); }
  int hideCursor() override {
    steps.push_back("hide cursor");
    return -1;
  }
  int showCursor() override {
    steps.push_back("show cursor");
    return 0;
  }
  bool loadRunForm() override {
    steps.push_back("run form");
    return runFormCreated;
  }
};

const std::vector<std::string> kPrepare = {"folder C:\\q_lenn", "settings",
                                           "exists D:\\Saver\\Sorvanta.dll"};

std::vector<std::string> prepareThen(std::vector<std::string> rest) {
  std::vector<std::string> all = kPrepare;
  all.insert(all.end(), rest.begin(), rest.end());
  return all;
}

struct ModeCase {
  const char* arguments;
  StartupOutcome outcome;
  std::vector<std::string> steps;
};

TEST(Startup, ModeTable) {
  const ModeCase cases[] = {
      {"/p 1234", StartupOutcome::PreviewShown, {"preview 1234"}},
      {"/P1234", StartupOutcome::PreviewShown, {"preview 234"}},
      {"/c", StartupOutcome::EndProgram, prepareThen({"dialog"})},
      {"/c:5678", StartupOutcome::EndProgram, prepareThen({"dialog"})},
      {"/s", StartupOutcome::RunFormLoaded, prepareThen({"hide cursor", "run form"})},
      {"-S", StartupOutcome::RunFormLoaded, prepareThen({"hide cursor", "run form"})},
      {"", StartupOutcome::RunFormLoaded, prepareThen({"run form"})},
      {"/a", StartupOutcome::EndProgram, kPrepare},
      {"s", StartupOutcome::EndProgram, kPrepare},
  };
  for (const auto& c : cases) {
    FakeStartupPort port;
    Sorvanta_B::StartupState state;
    EXPECT_EQ(Sorvanta_B::runStartup(c.arguments, port, state), c.outcome) << c.arguments;
    EXPECT_EQ(port.steps, c.steps) << '"' << c.arguments << '"';
  }
}

TEST(Startup, SecondCopyEndsAtOnceInEveryMode) {
  for (const char* marker : {Sorvanta_B::kRunFormCaption, Sorvanta_B::kSettingsDialogCaption}) {
    for (const char* arguments : {"/s", "/c", "/p 42", "", "/a"}) {
      FakeStartupPort port;
      port.openCaptions.insert(marker);
      Sorvanta_B::StartupState state;
      EXPECT_EQ(Sorvanta_B::runStartup(arguments, port, state), StartupOutcome::EndProgram);
      EXPECT_TRUE(port.steps.empty()) << marker << " " << arguments;
    }
  }
}

TEST(Startup, MissingRendererIsReportedExceptForThePreview) {
  for (const char* arguments : {"/s", "/c", "/a", ""}) {
    FakeStartupPort port;
    port.rendererPresent = false;
    Sorvanta_B::StartupState state;
    EXPECT_EQ(Sorvanta_B::runStartup(arguments, port, state), StartupOutcome::EndProgram);
    EXPECT_EQ(port.steps,
              prepareThen({std::string("message ") + Sorvanta_B::kMissingRendererMessage}))
        << arguments;
  }
  FakeStartupPort port;
  port.rendererPresent = false;
  Sorvanta_B::StartupState state;
  EXPECT_EQ(Sorvanta_B::runStartup("/p 7", port, state), StartupOutcome::PreviewShown);
}

TEST(Startup, RunFormThatCannotBeCreatedGivesTheCursorBack) {
  for (const char* arguments : {"/s", ""}) {
    FakeStartupPort port;
    port.runFormCreated = false;
    Sorvanta_B::StartupState state;
    EXPECT_EQ(Sorvanta_B::runStartup(arguments, port, state), StartupOutcome::EndProgram);
    const bool hidden = arguments[0] != '\0';
    EXPECT_EQ(port.steps, hidden ? prepareThen({"hide cursor", "run form", "show cursor"})
                                 : prepareThen({"run form"}))
        << '"' << arguments << '"';
  }
}

TEST(Startup, KeepsTheCursorCountOfTheHidingCall) {
  FakeStartupPort port;
  Sorvanta_B::StartupState state;
  Sorvanta_B::runStartup("/s", port, state);
  EXPECT_EQ(state.savedCursorCount, -1);
  EXPECT_EQ(state.commandLine.modeLetter, 'S');
}

}  // namespace
