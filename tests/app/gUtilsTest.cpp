#include "app/gUtils.h"
#include "platform/PrivateFolder.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using testsupport::TestHome;
using testsupport::WriteFile;

TEST(gUtils, IncludeBackslash) {
    EXPECT_EQ(IncludeBackslash(""), "");
    EXPECT_EQ(IncludeBackslash("/a/b"), "/a/b/");
    EXPECT_EQ(IncludeBackslash("/a/b/"), "/a/b/");
    EXPECT_EQ(IncludeBackslash("/"), "/");
}

TEST(gUtils, IsValidFileName) {
    EXPECT_TRUE(IsValidFileName(""));
    EXPECT_TRUE(IsValidFileName("Happy Birthday 2"));
    for (const char* bad : {".", "\\", "/", ":", "*", "?", "\"", "<", ">", "|"})
        EXPECT_FALSE(IsValidFileName(QString("a") + bad + "b")) << bad;
}

TEST(gUtils, TempFolderFollowsTmpdir) {
    {
        testsupport::ScopedEnv tmp("TMPDIR", "/var/tmp/x");
        EXPECT_EQ(GetTempFolder(), "/var/tmp/x/");
    }
    testsupport::ScopedEnv tmp("TMPDIR", "");
    EXPECT_EQ(GetTempFolder(), "/tmp/");
}

TEST(gUtils, DesktopAndDocumentsExistOrAreEmpty) {
    TestHome home;
    EXPECT_EQ(GetDesktopFolder(), home.Desktop() + "/");
    EXPECT_EQ(GetDocumentsFolder(), home.Documents() + "/");
    QDir(home.Desktop()).removeRecursively();
    EXPECT_EQ(GetDesktopFolder(), "");
}

TEST(gUtils, CollectFolderTreeIsDepthFirst) {
    QTemporaryDir dir;
    const QString root = dir.path();
    WriteFile(root + "/a/x/one", "1");
    WriteFile(root + "/a/two", "2");
    QStringList files;
    QStringList folders;
    CollectFolderTree(root, files, folders);
    ASSERT_EQ(folders.size(), 2);
    EXPECT_EQ(folders[0], root + "/a");
    EXPECT_EQ(folders[1], root + "/a/x");
    EXPECT_EQ(files.size(), 2);
}

TEST(gUtils, DeleteTempTreeRemovesNestedHiddenAndReadOnly) {
    QTemporaryDir dir;
    const QString root = dir.path() + "/Zorvane-test";
    WriteFile(root + "/250101120000000/Surprise.exe", "exe");
    WriteFile(root + "/250101120000000/.hidden", "h");
    WriteFile(root + "/250101120000000/deep/er/.x/file", "f");
    const QString readOnly = WriteFile(root + "/250101120000001/readonly.bmp", "bmp");
    QFile::setPermissions(readOnly, QFile::ReadOwner);
    DeleteTempTree(root);
    EXPECT_FALSE(QFileInfo::exists(root));
}

TEST(gUtils, DeleteTempTreeNeverFollowsLinks) {
    QTemporaryDir dir;
    const QString outside = dir.path() + "/outside";
    WriteFile(outside + "/precious.txt", "keep me");
    const QString root = dir.path() + "/root";
    WriteFile(root + "/build/file", "f");
    ASSERT_EQ(::symlink(qPrintable(outside), qPrintable(root + "/build/link")), 0);
    ASSERT_EQ(::symlink(qPrintable(outside + "/precious.txt"), qPrintable(root + "/file-link")), 0);
    DeleteTempTree(root);
    EXPECT_FALSE(QFileInfo::exists(root));
    EXPECT_EQ(testsupport::ReadFile(outside + "/precious.txt"), "keep me");

    // A root that is itself a link: the link goes, the target stays.
    ASSERT_EQ(::symlink(qPrintable(outside), qPrintable(root)), 0);
    DeleteTempTree(root);
    EXPECT_FALSE(QFileInfo(root).isSymLink());
    EXPECT_EQ(testsupport::ReadFile(outside + "/precious.txt"), "keep me");
}

TEST(gUtils, DeleteTempTreeLeavesWhatCannotGo) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may delete inside a read-only folder";
    QTemporaryDir dir;
    const QString root = dir.path() + "/root";
    WriteFile(root + "/locked/kept", "k");
    WriteFile(root + "/free/gone", "g");
    QFile::setPermissions(root + "/locked", QFile::ReadOwner | QFile::ExeOwner);
    DeleteTempTree(root);
    EXPECT_TRUE(QFileInfo::exists(root + "/locked/kept"));
    EXPECT_FALSE(QFileInfo::exists(root + "/free"));
    QFile::setPermissions(root + "/locked", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(PrivateFolder, MadeWithParentsAndMode0700) {
    QTemporaryDir dir;
    const QString path = dir.path() + "/a/b/Zorvane-1/";
    ASSERT_TRUE(MakePrivateFolder(path));
    struct stat info {};
    ASSERT_EQ(::stat(qPrintable(path), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_TRUE(MakePrivateFolder(path)) << "an existing private folder is reused";
}

TEST(PrivateFolder, RefusesLinksFilesAndForeignFolders) {
    QTemporaryDir dir;
    const QString target = dir.path() + "/target";
    QDir().mkpath(target);
    ASSERT_EQ(::symlink(qPrintable(target), qPrintable(dir.path() + "/link")), 0);
    EXPECT_FALSE(MakePrivateFolder(dir.path() + "/link"));
    WriteFile(dir.path() + "/file", "x");
    EXPECT_FALSE(MakePrivateFolder(dir.path() + "/file"));
    WriteFile(dir.path() + "/blocker", "x");
    EXPECT_FALSE(MakePrivateFolder(dir.path() + "/blocker/sub"));
    if (::geteuid() == 0) {
        const QString foreign = dir.path() + "/foreign";
        QDir().mkpath(foreign);
        ASSERT_EQ(::chown(qPrintable(foreign), 12345, 12345), 0);
        EXPECT_FALSE(MakePrivateFolder(foreign));
    }
}
