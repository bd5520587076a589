// The companion library's portable decisions: file masks and the texts it sends back.
#include <gtest/gtest.h>

#include "companion/copydata_text.h"
#include "companion/wildcard.h"

namespace {

TEST(CompanionMasks, MatchAsUsersOfFileSearchExpect) {
  struct Case {
    const char16_t* name;
    const char16_t* masks;
    bool match;
  } cases[] = {
      {u"notes.txt", u"*.*", true},     {u"README", u"*.*", true},
      {u"README", u"*.", true},         {u"notes.txt", u"*.", false},
      {u"notes.txt", u"*.TXT", false},  // the caller folds case first
      {u"notes.txt", u"notes.*", true}, {u"notes", u"notes.*", true},
      {u"a1.log", u"a?.log", true},     {u"a12.log", u"a?.log", false},
      {u"x.doc", u"*.txt;*.doc", true}, {u"x.pdf", u"*.txt; *.doc", false},
      {u"", u"*", true},                {u"abc", u"", true},  // no mask: everything
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name, c.name + std::char_traits<char16_t>::length(c.name)));
    EXPECT_EQ(companion::MatchAnyMask(c.name, companion::SplitMasks(c.masks)), c.match);
  }
}

TEST(CompanionCopyData, TaggedWindows1251TextCutTo99Bytes) {
  auto group = companion::CopyDataText(companion::kGroupNameTag, u"Игры");
  ASSERT_TRUE(group.has_value());
  EXPECT_EQ(*group, std::string("&2\xC8\xE3\xF0\xFB"));
  auto longTitle = companion::CopyDataText(companion::kWindowTitleTag, std::u16string(300, u'Ж'));
  ASSERT_TRUE(longTitle.has_value());
  EXPECT_EQ(longTitle->size(), companion::kMaxCopyDataText);
  EXPECT_EQ(longTitle->substr(0, 2), "&1");
  EXPECT_FALSE(companion::CopyDataText(companion::kGroupNameTag, u"日本").has_value());
  EXPECT_EQ(companion::CleanName(u"  a\tb\n "), u"a b");
}

}  // namespace
