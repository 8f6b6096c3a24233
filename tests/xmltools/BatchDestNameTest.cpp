#include <gtest/gtest.h>

#include "xmltools/TBatch.h"

TEST(BatchDestName, EveryRowOfTheTable) {
  struct Row {
    const char* file;
    const char* mask;
    const char* dest;
  };
  const Row rows[] = {
      {"index.html", "*.xml", "index.xml"}, {"index.html", "*.*", "index.html"}, {"a.b.c", "*.*", "a.b.c"},
      {"a.b.c", "*.x", "a.x"},              {"a.b.c", "new_*.*", "new_a.b.c"},   {"README", "*.*", "README."},
      {"README", "*.html", "README.html"},  {"index.html", "*", "index"},        {"index.html", "out.xml", "out.xml"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(TBatch::MakeDestName(row.file, row.mask), row.dest) << row.file << " with " << row.mask;
}

TEST(BatchDestName, EdgeForms) {
  EXPECT_EQ(TBatch::MakeDestName(".profile", "*.bak"), ".bak");
  EXPECT_EQ(TBatch::MakeDestName(".profile", "x*y*z"), "xyprofilez");
  EXPECT_EQ(TBatch::MakeDestName("a.", "*.*"), "a.");
  EXPECT_EQ(TBatch::MakeDestName("a.b", "*-*-*"), "a-b-*");
  EXPECT_EQ(TBatch::MakeDestName("a.b", ""), "");
  EXPECT_EQ(TBatch::MakeDestName("", "*.*"), ".");
}
