// The first start copies the installed default configuration into the user's folder; a file the
// user already has is never replaced.
#include <gtest/gtest.h>

#include "config/win/first_run.h"
#include "processes.h"
#include "win_test_files.h"

using platform::TempFolder;
using platform::toWide;
using scribo::win::FirstRunResult;

namespace {

TEST(FirstRun, CopiesTheDefaultOnceAndNeverOverwritesTheUsersFile) {
    TempFolder tmp;
    const std::u16string defaults = tmp.file(u"scribo-default.xml");
    testsupport::writeFile(toWide(defaults), "<default/>");
    // The roaming folder has no "Scribo\xml" yet: both levels are created.
    const std::u16string user = tmp.file(u"Roaming\\Scribo\\xml\\scribo.xml");

    EXPECT_EQ(scribo::win::provideUserConfiguration(user, defaults), FirstRunResult::Copied);
    EXPECT_EQ(testsupport::readFile(toWide(user)), "<default/>");

    testsupport::writeFile(toWide(user), "<mine/>");
    testsupport::writeFile(toWide(defaults), "<new default/>");  // an upgrade's default
    EXPECT_EQ(scribo::win::provideUserConfiguration(user, defaults), FirstRunResult::Present);
    EXPECT_EQ(testsupport::readFile(toWide(user)), "<mine/>");
    EXPECT_EQ(GetFileAttributesW(toWide(user + u".new").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(FirstRun, FailuresLeaveNothingBehind) {
    TempFolder tmp;
    const std::u16string user = tmp.file(u"Roaming\\Scribo\\xml\\scribo.xml");
    // No installed default: nothing is created, not even the folders' file.
    EXPECT_EQ(scribo::win::provideUserConfiguration(user, tmp.file(u"missing.xml")),
              FirstRunResult::Failed);
    EXPECT_EQ(GetFileAttributesW(toWide(user).c_str()), INVALID_FILE_ATTRIBUTES);
    // The user's folder unknown (no roaming folder for this account).
    testsupport::writeFile(toWide(tmp.file(u"d.xml")), "<d/>");
    EXPECT_EQ(scribo::win::provideUserConfiguration(u"", tmp.file(u"d.xml")),
              FirstRunResult::Failed);
    // A plain file where the folder should be.
    testsupport::writeFile(toWide(tmp.file(u"Blocked")), "x");
    EXPECT_EQ(scribo::win::provideUserConfiguration(tmp.file(u"Blocked\\xml\\scribo.xml"),
                                                    tmp.file(u"d.xml")),
              FirstRunResult::Failed);
}

}  // namespace
