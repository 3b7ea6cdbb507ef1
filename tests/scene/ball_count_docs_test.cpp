// Every place the docs give the number of balls says the scene's own: a number a few
// words before "balls" (across line breaks, markup and adjectives such as
// "mirror-textured") must be kBallCount, and each file must say it at least once.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "scene_app.h"

namespace {

std::string readSource(const std::string& name) {
  std::ifstream file(std::string(SORVANTA_SOURCE_DIR) + "/" + name, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

bool isWordCharacter(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-' || c == '\'';
}

// The words of the text, lower case, with each mark that ends a phrase (".,;:!?") as a
// word of its own; roff's escapes (\fB, \(lq, \-) and every other mark of markup
// (<tags>, *, `, #) only part words.
std::vector<std::string> words(const std::string& text) {
  std::vector<std::string> result;
  std::string word;
  const auto endWord = [&] {
    if (!word.empty()) {
      result.push_back(word);
      word.clear();
    }
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\\') {
      endWord();
      i += i + 1 < text.size() && text[i + 1] == 'f' ? 2 : text[i + 1] == '(' ? 3 : 1;
    } else if (isWordCharacter(c)) {
      word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    } else {
      endWord();
      if (std::string(".,;:!?").find(c) != std::string::npos) {
        result.push_back(std::string(1, c));
      }
    }
  }
  endWord();
  return result;
}

bool isNumber(const std::string& word) {
  for (const char c : word) {
    if (std::isdigit(static_cast<unsigned char>(c)) == 0) {
      return false;
    }
  }
  return !word.empty();
}

// The numbers that count balls: for each "balls", the nearest number among the three
// words before it within the same phrase.
std::vector<std::string> ballCounts(const std::string& text) {
  const std::vector<std::string> all = words(text);
  std::vector<std::string> counts;
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (all[i] != "balls") {
      continue;
    }
    for (std::size_t back = 1; back <= 3 && back <= i; ++back) {
      const std::string& before = all[i - back];
      if (before.size() == 1 && !isWordCharacter(before[0])) {
        break;
      }
      if (isNumber(before)) {
        counts.push_back(before);
        break;
      }
    }
  }
  return counts;
}

TEST(BallCountDocs, EveryMentionGivesTheScenesCount) {
  const std::string expected = std::to_string(sorvanta::kBallCount);
  for (const char* name : {"README.md", "packaging/README.txt", "hack/sorvanta.6",
                           "hack/sorvanta.xml", "packaging/debian/make_deb.py"}) {
    const std::string text = readSource(name);
    ASSERT_FALSE(text.empty()) << name << " cannot be read";
    const std::vector<std::string> counts = ballCounts(text);
    EXPECT_FALSE(counts.empty()) << name << " no longer gives the number of balls";
    for (const std::string& count : counts) {
      EXPECT_EQ(count, expected) << name << " says " << count << " balls; the scene has "
                                 << expected;
    }
  }
}

}  // namespace
