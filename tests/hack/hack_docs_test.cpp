// The hack's two descriptions of its command line, sorvanta.xml (what
// xscreensaver-settings passes) and the manual page sorvanta.6, against the options
// table the parser reads: an option the settings pass must exist, and the manual
// must list exactly the table's options, each with a value exactly when it takes one.
#include <gtest/gtest.h>

#include <cstddef>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "hack_options.h"

namespace {

using sorvanta::hack::OptionEntry;

const char kXmlFile[] = "hack/sorvanta.xml";
const char kManualFile[] = "hack/sorvanta.6";

std::string readSource(const std::string& name) {
  std::ifstream file(std::string(SORVANTA_SOURCE_DIR) + "/" + name, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

const OptionEntry* tableOption(const std::string& name) {
  for (const OptionEntry& entry : sorvanta::hack::optionTable()) {
    if (name == entry.name) {
      return &entry;
    }
  }
  return nullptr;
}

std::vector<std::string> words(const std::string& text) {
  std::istringstream stream(text);
  std::vector<std::string> result;
  for (std::string word; stream >> word;) {
    result.push_back(word);
  }
  return result;
}

// "--name" or "-name" to "name"; empty when the word is no option.
std::string optionName(const std::string& word) {
  if (word.size() < 2 || word[0] != '-') {
    return "";
  }
  return word.substr(word[1] == '-' ? 2 : 1);
}

// The values of the arg, arg-set and arg-unset attributes (of <command> too).
std::vector<std::string> argAttributes(const std::string& xml) {
  std::vector<std::string> values;
  for (std::size_t quote = xml.find("=\""); quote != std::string::npos;
       quote = xml.find("=\"", quote + 1)) {
    const std::size_t nameStart = xml.find_last_of(" \t\r\n", quote) + 1;
    const std::string name = xml.substr(nameStart, quote - nameStart);
    const std::size_t close = xml.find('"', quote + 2);
    if (close != std::string::npos && (name == "arg" || name == "arg-set" || name == "arg-unset")) {
      values.push_back(xml.substr(quote + 2, close - quote - 2));
    }
  }
  return values;
}

// Every option the settings pass; an option followed by a word that is no option
// ("%" for the user's number) has a value.
TEST(HackDocs, SettingsPassOnlyOptionsOfTheTable) {
  const std::string xml = readSource(kXmlFile);
  ASSERT_FALSE(xml.empty()) << kXmlFile << " cannot be read";
  int passed = 0;
  for (const std::string& attribute : argAttributes(xml)) {
    const std::vector<std::string> arg = words(attribute);
    for (std::size_t i = 0; i < arg.size(); ++i) {
      const std::string name = optionName(arg[i]);
      if (name.empty()) {
        continue;
      }
      ++passed;
      const bool withValue = i + 1 < arg.size() && optionName(arg[i + 1]).empty();
      const OptionEntry* entry = tableOption(name);
      if (entry == nullptr) {
        ADD_FAILURE() << kXmlFile << " passes " << arg[i] << ", which is no option of the hack";
      } else if (entry->takesValue() != withValue) {
        ADD_FAILURE() << kXmlFile << " passes " << arg[i] << (withValue ? " with" : " without")
                      << " a value, but the option takes " << (withValue ? "none" : "one");
      }
    }
  }
  EXPECT_GT(passed, 0) << kXmlFile << ": no arg attribute with an option found";
}

// The OPTIONS section's entries: ".TP" then ".B \-\-name" or ".BI \-\-name " value"",
// as name -> whether the entry shows a value.
std::map<std::string, bool> manualOptions(const std::string& manual) {
  std::map<std::string, bool> options;
  std::istringstream lines(manual);
  bool inOptions = false;
  bool afterTp = false;
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(".SH", 0) == 0) {
      inOptions = line == ".SH OPTIONS";
      continue;
    }
    if (!inOptions) {
      continue;
    }
    if (afterTp) {
      afterTp = false;
      for (std::size_t at = line.find("\\-"); at != std::string::npos; at = line.find("\\-", at)) {
        line.erase(at, 1);  // roff's \- is a dash
      }
      const std::vector<std::string> entry = words(line);
      const bool bold = entry.size() >= 2 && (entry[0] == ".B" || entry[0] == ".BI");
      const std::string name = bold ? optionName(entry[1]) : "";
      if (name.empty()) {
        ADD_FAILURE() << kManualFile << ": an OPTIONS entry that names no option: " << line;
        continue;
      }
      if (!options.emplace(name, entry.size() > 2).second) {
        ADD_FAILURE() << kManualFile << " lists --" << name << " twice";
      }
    }
    afterTp = line.rfind(".TP", 0) == 0;
  }
  return options;
}

TEST(HackDocs, ManualListsExactlyTheTablesOptions) {
  const std::string manual = readSource(kManualFile);
  ASSERT_FALSE(manual.empty()) << kManualFile << " cannot be read";
  const std::map<std::string, bool> listed = manualOptions(manual);
  for (const OptionEntry& entry : sorvanta::hack::optionTable()) {
    const auto found = listed.find(entry.name);
    if (found == listed.end()) {
      ADD_FAILURE() << kManualFile << " does not list --" << entry.name;
    } else if (found->second != entry.takesValue()) {
      ADD_FAILURE() << kManualFile << " lists --" << entry.name
                    << (found->second ? " with" : " without") << " a value, but the option takes "
                    << (entry.takesValue() ? "one" : "none");
    }
  }
  for (const auto& [name, withValue] : listed) {
    EXPECT_NE(tableOption(name), nullptr)
        << kManualFile << " lists --" << name << ", which is no option of the hack";
  }
}

}  // namespace
