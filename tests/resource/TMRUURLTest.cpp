#include <gtest/gtest.h>

#include "resource/TMRUURL.h"

namespace {

TURL WithUser(const std::string& text, const std::string& user, const std::string& password = "")
{
  TURL url(text);
  url.SetUser(user);
  url.SetPassword(password);
  return url;
}

std::vector<std::string> Texts(const TMRUURL& list)
{
  std::vector<std::string> texts;
  for (int i = 0; i < list.Count(); ++i) texts.push_back(list.GetItem(i).GetURL() + "|" + list.GetItem(i).User);
  return texts;
}

}  // namespace

TEST(RecentURLs, SameTextAndUserLeavesOneEntryInFront)
{
  TMRUURL list(5);
  list.Add(WithUser("ftp:a/x.xml", "joe"));
  list.Add(WithUser("ftp:b/y.xml", "joe"));
  list.Add(WithUser("ftp:a/x.xml", "joe"));
  EXPECT_EQ(Texts(list), (std::vector<std::string>{"ftp:a/x.xml|joe", "ftp:b/y.xml|joe"}));
}

TEST(RecentURLs, AnotherUserIsAnotherEntry)
{
  TMRUURL list(5);
  list.Add(WithUser("ftp:a/x.xml", "joe"));
  list.Add(WithUser("ftp:a/x.xml", "ann"));
  EXPECT_EQ(Texts(list), (std::vector<std::string>{"ftp:a/x.xml|ann", "ftp:a/x.xml|joe"}));
}

TEST(RecentURLs, NewPasswordReplacesTheEntry)
{
  TMRUURL list(5);
  list.Add(WithUser("ftp:a/x.xml", "joe", "old"));
  list.Add(WithUser("ftp:a/x.xml", "joe", "new"));
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.GetItem(0).Password, "new");
}

TEST(RecentURLs, FullListDropsTheOldest)
{
  TMRUURL list(3);
  for (const char* text : {"file:/1", "file:/2", "file:/3", "file:/4"}) list.Add(TURL(text));
  EXPECT_EQ(Texts(list), (std::vector<std::string>{"file:/4|", "file:/3|", "file:/2|"}));
  // Re-adding an entry frees its slot first, so nothing else is dropped.
  list.Add(TURL("file:/2"));
  EXPECT_EQ(Texts(list), (std::vector<std::string>{"file:/2|", "file:/4|", "file:/3|"}));
}

TEST(RecentURLs, EntriesAreCopiesAndIndexIsChecked)
{
  TMRUURL list(2);
  TURL url("file:/a.xml");
  list.Add(url);
  url.SetFileName("changed.xml");
  EXPECT_EQ(list.GetItem(0).FileName, "a.xml");
  EXPECT_THROW(list.GetItem(1), std::out_of_range);
  TMRUURL none(0);
  none.Add(url);
  EXPECT_EQ(none.Count(), 0);
}

TEST(RecentURLs, DuplicatesAlreadyInTheListAreAllRemoved)
{
  TMRUURL list(5);
  list.Add(TURL("file:/a"));
  list.Add(TURL("file:/b"));
  // Equal neighbours (possible when the list was filled from a project file).
  list.Add(TURL("file:/c"));
  list.GetItem(1).SetURL("file:/c");
  list.Add(TURL("file:/c"));
  EXPECT_EQ(Texts(list), (std::vector<std::string>{"file:/c|", "file:/a|"}));
}

// Choosing an entry of the list itself (a recent document opened again)
// moves it to the front; the entry removed on the way is the one passed in.
TEST(RecentURLs, AddingAnEntryOfTheListItselfMovesItToTheFront)
{
  TMRUURL list(5);
  list.Add(WithUser("ftp:a/x.xml", "joe", "secret"));
  list.Add(WithUser("ftp:b/y.xml", "ann"));
  list.Add(list.GetItem(1));
  EXPECT_EQ(Texts(list), (std::vector<std::string>{"ftp:a/x.xml|joe", "ftp:b/y.xml|ann"}));
  EXPECT_EQ(list.GetItem(0).Password, "secret");
}
