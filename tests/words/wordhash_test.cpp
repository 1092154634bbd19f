// Word hashing and the word set behind the common-word look-ups.
#include "words/wordhash.hpp"

#include <gtest/gtest.h>

#include <random>

namespace tw {
namespace {

TEST(HashWordTest, AHashedLastCharacterEqualsTheJoinedWord) {
  std::mt19937 rng(3);
  for (int round = 0; round < 2000; ++round) {
    Text head;
    const int length = static_cast<int>(rng() % 13);
    for (int k = 0; k < length; ++k)
      head.push_back(static_cast<char16_t>(u'a' + rng() % 40));
    const char16_t last = static_cast<char16_t>(u'a' + rng() % 40);
    ASSERT_EQ(HashWord(head, &last), HashWord(head + last)) << length;
    ASSERT_EQ(HashWord(head, nullptr), HashWord(head));
  }
}

TEST(HashWordTest, NearWordsDiffer) {
  // Not a promise of a hash, but these must not all collide for the index to work.
  const std::vector<Text> words = {u"",      u"a",     u"b", u"ab",   u"ba",  u"abcd", u"abce",
                                   u"abcde", u"bcdea", u"s", u"cats", u"cat", u"Cat"};
  for (size_t i = 0; i < words.size(); ++i) {
    for (size_t j = i + 1; j < words.size(); ++j) {
      EXPECT_NE(HashWord(words[i]), HashWord(words[j])) << i << " " << j;
    }
  }
}

TEST(WordSetTest, HoldsEachWordOnce) {
  WordSet set;
  EXPECT_FALSE(set.Contains(u"word"));
  EXPECT_TRUE(set.Insert(u"word"));
  EXPECT_FALSE(set.Insert(u"word"));
  EXPECT_TRUE(set.Contains(u"word"));
  EXPECT_FALSE(set.Contains(u"words"));
  EXPECT_FALSE(set.Contains(u"Word"));
  EXPECT_EQ(set.Size(), 1);
  set.Clear();
  EXPECT_FALSE(set.Contains(u"word"));
  EXPECT_EQ(set.Size(), 0);
}

TEST(WordSetTest, GrowsWithoutLosingWords) {
  WordSet set;
  std::vector<Text> words;
  for (int k = 0; k < 5000; ++k) {
    Text w = u"w";
    for (int v = k; v > 0; v /= 26)
      w.push_back(static_cast<char16_t>(u'a' + v % 26));
    words.push_back(w);
    ASSERT_TRUE(set.Insert(w));
  }
  for (const Text& w : words)
    ASSERT_TRUE(set.Contains(w));
  EXPECT_FALSE(set.Contains(u"x"));
  EXPECT_EQ(set.Size(), 5000);
}

}  // namespace
}  // namespace tw
