#include "build/DataArchive.h"
#include "support/TestSupport.h"
#include "ZipTool.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

using testsupport::ReadFile;
using testsupport::WriteFile;

namespace {

class DataArchiveTest : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return Dir.filePath(name); }

    // A file with a known, even-second modification time (ZIP keeps two-second steps).
    QString File(const QString& name, const QByteArray& content) {
        const QString path = WriteFile(Path(name), content);
        QFile file(path);
        file.open(QIODevice::ReadWrite);
        file.setFileTime(kTime, QFileDevice::FileModificationTime);
        return path;
    }

    static QByteArray Pattern(int size) {
        QByteArray bytes(size, '\0');
        for (int i = 0; i < size; ++i)
            bytes[i] = char((i * 31) ^ (i >> 8));
        return bytes;
    }

    static QStringList Names(const QJsonObject& listing) {
        QStringList names;
        for (const auto& entry : listing["entries"].toArray())
            names << entry.toObject()["name"].toString();
        return names;
    }

    static QByteArray Content(const QJsonObject& listing, const QString& name) {
        for (const auto& entry : listing["entries"].toArray())
            if (entry.toObject()["name"].toString() == name)
                return QByteArray::fromHex(entry.toObject()["content"].toString().toLatin1());
        return {};
    }

    const QDateTime kTime = QDateTime(QDate(2024, 5, 6), QTime(7, 8, 10));
    QTemporaryDir Dir;
};

} // namespace

TEST_F(DataArchiveTest, LibraryCanWriteZipCrypto) {
    EXPECT_TRUE(CanWriteEncryptedZip());
}

TEST_F(DataArchiveTest, DataArchiveOpensWithThePasswordOnly) {
    const QByteArray picture = Pattern(200000);
    const QStringList files = {File("b1.bmp", picture), File("b2.bmp", "second"),
                               File("s1.mid", "MThd")};
    ASSERT_TRUE(MakeArchive(files, Path("data.zip"), kDataArchivePassword));

    const QJsonObject listing = ziptool::List(Path("data.zip"), "Kq4!)=");
    ASSERT_FALSE(listing.contains("error")) << listing["error"].toString().toStdString();
    EXPECT_EQ(Names(listing), QStringList({"b1.bmp", "b2.bmp", "s1.mid"}));
    for (const auto& value : listing["entries"].toArray()) {
        const QJsonObject entry = value.toObject();
        EXPECT_EQ(entry["flags"].toInt() & 1, 1) << "encrypted";
        EXPECT_EQ(entry["method"].toInt(), 8) << "deflate";
        EXPECT_EQ(entry["date_time"].toArray(), QJsonArray({2024, 5, 6, 7, 8, 10}));
    }
    EXPECT_EQ(Content(listing, "b1.bmp"), picture);
    EXPECT_EQ(Content(listing, "s1.mid"), "MThd");

    EXPECT_TRUE(ziptool::List(Path("data.zip")).contains("error"));
    EXPECT_TRUE(ziptool::List(Path("data.zip"), "kq4!)=").contains("error"));

    const QList<ArchiveEntry> read =
        ReadArchive(ReadFile(Path("data.zip")), kDataArchivePassword, true);
    ASSERT_EQ(read.size(), 3);
    EXPECT_EQ(read[0].Name, "b1.bmp");
    EXPECT_EQ(read[0].Size, picture.size());
    EXPECT_TRUE(read[0].Encrypted);
    EXPECT_EQ(read[0].Data, picture);
    EXPECT_THROW(ReadArchive(ReadFile(Path("data.zip")), {}, false), ArchiveError);
    EXPECT_THROW(ReadArchive(ReadFile(Path("data.zip")), "wrong!", false), ArchiveError);
}

TEST_F(DataArchiveTest, DeliveryArchiveHasNoPasswordAndTheBareName) {
    QDir().mkpath(Path("build"));
    const QString container = File("build/Birthday.exe", "container");
    ASSERT_TRUE(MakeArchive({container}, Path("build/Birthday.zip"), {}));
    const QJsonObject listing = ziptool::List(Path("build/Birthday.zip"));
    ASSERT_FALSE(listing.contains("error")) << listing["error"].toString().toStdString();
    EXPECT_EQ(Names(listing), QStringList{"Birthday.exe"});
    EXPECT_EQ(listing["entries"][0]["flags"].toInt() & 1, 0);
    EXPECT_FALSE(ReadArchive(ReadFile(Path("build/Birthday.zip")), {}, false)[0].Encrypted);
}

TEST_F(DataArchiveTest, ExistingArchiveIsUpdated) {
    ASSERT_TRUE(MakeArchive({File("a.txt", "old a"), File("b.txt", "old b")}, Path("x.zip"),
                            kDataArchivePassword));
    ASSERT_TRUE(MakeArchive({File("b.txt", "new b"), File("c.txt", "new c")}, Path("x.zip"),
                            kDataArchivePassword));
    const QJsonObject listing = ziptool::List(Path("x.zip"), "Kq4!)=");
    EXPECT_EQ(Names(listing), QStringList({"a.txt", "b.txt", "c.txt"}));
    EXPECT_EQ(Content(listing, "a.txt"), "old a");
    EXPECT_EQ(Content(listing, "b.txt"), "new b");

    // Compressed delivery twice: still one entry.
    ASSERT_TRUE(MakeArchive({File("Surprise.exe", "one")}, Path("Surprise.zip"), {}));
    ASSERT_TRUE(MakeArchive({File("Surprise.exe", "two")}, Path("Surprise.zip"), {}));
    const QJsonObject delivery = ziptool::List(Path("Surprise.zip"));
    EXPECT_EQ(Names(delivery), QStringList{"Surprise.exe"});
    EXPECT_EQ(Content(delivery, "Surprise.exe"), "two");
}

TEST_F(DataArchiveTest, FailuresGiveFalseAndLeaveAGoodArchiveAlone) {
    const QString a = File("a.txt", "a");
    // A missing file: the others are added, the result is false.
    EXPECT_FALSE(MakeArchive({a, Path("missing.txt")}, Path("part.zip"), {}));
    EXPECT_EQ(Names(ziptool::List(Path("part.zip"))), QStringList{"a.txt"});

    EXPECT_FALSE(MakeArchive({a}, Path("no/such/folder/x.zip"), {}));

    // An archive that cannot be read is not replaced by a new one.
    WriteFile(Path("damaged.zip"), "PK\x03\x04 this is not an archive");
    EXPECT_FALSE(MakeArchive({a}, Path("damaged.zip"), {}));
    EXPECT_EQ(ReadFile(Path("damaged.zip")), "PK\x03\x04 this is not an archive");

    // Old entries under another password cannot be carried over.
    ASSERT_TRUE(MakeArchive({a}, Path("locked.zip"), "first"));
    const QByteArray locked = ReadFile(Path("locked.zip"));
    EXPECT_FALSE(MakeArchive({File("b.txt", "b")}, Path("locked.zip"), "second"));
    EXPECT_EQ(ReadFile(Path("locked.zip")), locked);

    const QStringList left = QDir(Dir.path()).entryList(QDir::Files);
    EXPECT_EQ(left.filter(".zip").size(), 3) << left.join(' ').toStdString();
}

TEST_F(DataArchiveTest, ReadArchiveRefusesUnsafeOrDamagedArchives) {
    struct Case {
        const char* What;
        QStringList Entries;
    };
    const std::vector<Case> cases = {
        {"a parent folder", {"../evil.bmp=00"}},
        {"a sub-folder", {"dir/b1.bmp=00"}},
        {"an absolute path", {"/tmp/b1.bmp=00"}},
        {"a backslash", {"..\\evil.bmp=00"}},
        {"a folder entry", {"dir/="}},
        {"a good entry, then a bad one", {"b1.bmp=00", "../b2.bmp=00"}},
    };
    for (const Case& c : cases) {
        const QString path = Path("crafted.zip");
        QFile::remove(path);
        ziptool::Make(path, c.Entries);
        EXPECT_THROW(ReadArchive(ReadFile(path), {}, true), ArchiveError) << c.What;
    }

    ziptool::Make(Path("big.zip"), {"b1.bmp=" + QByteArray(5000, 'a').toHex()});
    EXPECT_THROW(ReadArchive(ReadFile(Path("big.zip")), {}, false, 4999), ArchiveError);
    EXPECT_EQ(ReadArchive(ReadFile(Path("big.zip")), {}, false, 5000)[0].Size, 5000);

    ASSERT_TRUE(MakeArchive({File("b1.bmp", Pattern(70000))}, Path("good.zip"), "pw"));
    const QByteArray good = ReadFile(Path("good.zip"));
    ASSERT_EQ(ReadArchive(good, "pw", true).size(), 1);
    const std::vector<std::pair<const char*, QByteArray>> damaged = {
        {"empty", {}},
        {"cut in half", good.left(good.size() / 2)},
        {"a data byte changed", QByteArray(good).replace(200, 1, "\x55")},
    };
    for (const auto& [what, bytes] : damaged)
        EXPECT_THROW(ReadArchive(bytes, "pw", true), ArchiveError) << what;
}
