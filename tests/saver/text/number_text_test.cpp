#include "saver/text/number_text.h"

#include <gtest/gtest.h>

namespace {

using Sorvanta_B::readLeadingNumber;

TEST(LeadingNumber, StopsAtFirstUnreadableCharacter) {
  EXPECT_EQ(readLeadingNumber(" \t 42"), 42);
  EXPECT_EQ(readLeadingNumber("-17x"), -17);
  EXPECT_EQ(readLeadingNumber("1e3"), 1000);
  EXPECT_EQ(readLeadingNumber("1e"), 1);
  EXPECT_EQ(readLeadingNumber("."), 0);
  EXPECT_EQ(readLeadingNumber("&O17"), 15);
  EXPECT_EQ(readLeadingNumber(""), 0);
}

}  // namespace
