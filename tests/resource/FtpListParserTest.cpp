#include <gtest/gtest.h>

#include "resource/TFTPListParser.h"

namespace {

std::string Describe(const std::vector<TFTPListEntry>& entries)
{
  std::string text;
  for (const auto& entry : entries) {
    text += entry.Kind == TFTPEntryKind::Folder ? "D:" : entry.Kind == TFTPEntryKind::Symlink ? "L:" : "F:";
    text += entry.Name + "|";
  }
  return text;
}

}  // namespace

TEST(FtpListParser, MlsdKindsAndNamesWithBlanksAndSemicolons)
{
  std::string text =
      "type=cdir;perm=el; .\r\n"
      "type=pdir;perm=el; ..\r\n"
      "type=dir;size=0;modify=20240101120000; sub folder\r\n"
      "Type=FILE;Size=12; a; b.xml\r\n"
      "type=OS.unix=symlink;unique=1; link\r\n"
      "type=OS.unix=slink:/target; other\r\n"
      "modify=20240101120000; no type\r\n"
      "\r\n";
  EXPECT_EQ(Describe(ParseMlsdListing(text)), "D:sub folder|F:a; b.xml|L:link|L:other|F:no type|");
}

TEST(FtpListParser, MlsdNonAsciiNameKeptAsBytes)
{
  EXPECT_EQ(Describe(ParseMlsdListing("type=file; \xC3\xA9t\xC3\xA9.xml\n")), "F:\xC3\xA9t\xC3\xA9.xml|");
}

TEST(FtpListParser, MlsdLineWithoutBlankIsLeftOut)
{
  std::vector<std::string> unreadable;
  EXPECT_EQ(Describe(ParseMlsdListing("type=file;garbage\r\ntype=file; kept.xml\r\n", &unreadable)), "F:kept.xml|");
  EXPECT_EQ(unreadable, std::vector<std::string>{"type=file;garbage"});
}

TEST(FtpListParser, UnixLongFormat)
{
  std::string text =
      "total 24\r\n"
      "drwxr-xr-x   2 owner    group        4096 Jan  5 12:00 sub folder\r\n"
      "-rw-r--r--   1 owner    group          17 Dec 31  2019 a.xml\r\n"
      "lrwxrwxrwx   1 owner    group           3 Feb 29 08:15 link -> sub folder\r\n"
      "-rw-r--r--   1 owner    4096 Mar 1 09:00 no group column.txt\r\n"
      "drwxr-xr-x+  3 1000 1000 4096 jun 10 2021 acl\r\n"
      "-rw-r--r--   1 o g 5 Apr 1 10:00  leading blank\r\n";
  EXPECT_EQ(Describe(ParseListListing(text)),
            "D:sub folder|F:a.xml|L:link|F:no group column.txt|D:acl|F: leading blank|");
}

TEST(FtpListParser, WindowsIisFormat)
{
  std::string text =
      "01-15-21  03:04PM       <DIR>          My Folder\r\n"
      "12-31-2020  11:59AM              1,234 report 2020.xml\r\n"
      "02-01-21  17:30                    0 empty.txt\r\n";
  EXPECT_EQ(Describe(ParseListListing(text)), "D:My Folder|F:report 2020.xml|F:empty.txt|");
}

TEST(FtpListParser, LfOnlyAndMissingLastLineEnd)
{
  EXPECT_EQ(Describe(ParseListListing("-rw-r--r-- 1 o g 1 Jan 1 2000 a\n-rw-r--r-- 1 o g 1 Jan 1 2000 b")), "F:a|F:b|");
}

// One line that neither format reads costs that line, not the listing.
TEST(FtpListParser, UnreadableLinesAreLeftOutAndNamed)
{
  std::string text =
      "-rw-r--r-- 1 o g 1 Jan 1 2000 a\r\n"
      "-rw-r--r-- 1 o g 1 janv. 15 2021 french.xml\r\n"
      "-rw-r--r-- 1 o g 1 2021-01-15 12:00 iso.xml\r\n"
      "drwxr-xr-x 2 o g 4096 Feb 2 10:00 sub\r\n"
      "226 odd trailing line\r\n";
  std::vector<std::string> unreadable;
  EXPECT_EQ(Describe(ParseListListing(text, &unreadable)), "F:a|D:sub|");
  EXPECT_EQ(unreadable, (std::vector<std::string>{"-rw-r--r-- 1 o g 1 janv. 15 2021 french.xml",
                                                  "-rw-r--r-- 1 o g 1 2021-01-15 12:00 iso.xml",
                                                  "226 odd trailing line"}));
  EXPECT_EQ(Describe(ParseListListing("something else\r\n")), "");
}

TEST(FtpListParser, EmptyListings)
{
  EXPECT_TRUE(ParseListListing("").empty());
  EXPECT_TRUE(ParseListListing("total 0\r\n").empty());
  EXPECT_TRUE(ParseMlsdListing("type=cdir; .\r\n").empty());
}

// A server may hand back any name. One that holds a "/" would reach outside
// the listed folder when it is joined to a local path (a batch copy from the
// server writing "../../x.xml"), so it is no entry of the folder.
TEST(FtpListParser, NamesWithSlashesAreLeftOut)
{
  std::string mlsd =
      "type=file; ../../up.xml\r\n"
      "type=dir; ../../etc\r\n"
      "type=file; /abs.xml\r\n"
      "type=dir; a/b\r\n"
      "type=file; ok.xml\r\n";
  EXPECT_EQ(Describe(ParseMlsdListing(mlsd)), "F:ok.xml|");
  std::string list =
      "-rw-r--r-- 1 o g 1 Jan 1 2000 ../../up.xml\r\n"
      "drwxr-xr-x 2 o g 1 Jan 1 2000 sub/../..\r\n"
      "01-15-21  03:04PM       <DIR>          ../win\r\n"
      "lrwxrwxrwx 1 o g 3 Feb 1 08:15 link -> ../elsewhere\r\n"
      "-rw-r--r-- 1 o g 1 Jan 1 2000 ok.xml\r\n";
  EXPECT_EQ(Describe(ParseListListing(list)), "L:link|F:ok.xml|");
}
