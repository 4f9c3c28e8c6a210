#include <gtest/gtest.h>

#include "keys/program_list.h"

using scribo::RunningPrograms;

// One entry per program file: instances of one program collapse, namesakes in other folders
// stay apart and each keeps its own path.
TEST(RunningPrograms, OneEntryPerProgramFile) {
    RunningPrograms p;
    EXPECT_TRUE(p.add(u"C:\\Tools\\paint.exe", u"paint.exe"));
    EXPECT_FALSE(p.add(u"C:\\Tools\\paint.exe", u"paint.exe"));
    EXPECT_TRUE(p.add(u"D:\\Old\\paint.exe", u"paint.exe"));
    EXPECT_FALSE(p.add(u"", u"nothing"));
    ASSERT_EQ(p.names().size(), 2u);
    EXPECT_EQ(p.names()[0], u"paint.exe");
    EXPECT_EQ(p.names()[1], u"paint.exe");
    EXPECT_EQ(p.pathAt(0), u"C:\\Tools\\paint.exe");
    EXPECT_EQ(p.pathAt(1), u"D:\\Old\\paint.exe");
    EXPECT_EQ(p.pathAt(2), u"");
    EXPECT_EQ(p.pathAt(-1), u"");
}
