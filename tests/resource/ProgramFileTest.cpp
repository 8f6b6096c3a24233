#include <gtest/gtest.h>

#include "resource/ProgramFile.h"

TEST(ProgramFile, FolderEndsWithSeparatorAndFollowsOverride)
{
  SetProgramFileName("/opt/editor/xmlplivek");
  EXPECT_EQ(ProgramFolder(), "/opt/editor/");
  SetProgramFileName("");
  EXPECT_FALSE(ProgramFileName().empty());
  EXPECT_EQ(ProgramFolder().back(), '/');
}
