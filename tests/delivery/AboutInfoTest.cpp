#include "delivery/AboutInfo.h"
#include "delivery/WebLinks.h"

#include <QList>
#include <QUrl>

#include <gtest/gtest.h>

TEST(AboutInfo, VersionText) {
    const std::pair<const char*, const char*> cases[] = {
        {"3.4.0.0", "v3.4.0.0"},
        {"1.0.0", "v1.0.0.0"},
        {"2", "v2.0.0.0"},
        {"", ""},
    };
    for (const auto& [version, text] : cases)
        EXPECT_EQ(VersionText(version), text) << version;
    EXPECT_EQ(VersionText(ProgramVersion()), "v" ZORVANE_VERSION ".0");
}

TEST(AboutInfo, YearRange) {
    const std::pair<int, const char*> cases[] = {
        {1999, "2005"}, {2005, "2005"}, {2006, "2005-2006"}, {2024, "2005-2024"}};
    for (const auto& [year, text] : cases)
        EXPECT_EQ(YearRange(year), text) << year;
}

TEST(AboutInfo, VersionLabelNamesProductYearsAndMaker) {
    EXPECT_EQ(AboutVersionLabel("v3.4.0.0", 2024),
              QString("Zorvane v3.4.0.0\nCopyright \u00A9 2005-2024 Quelv Software"));
    // Without a version the first line is the product name and a space.
    EXPECT_TRUE(AboutVersionLabel("", 2005).startsWith("Zorvane \n"));
}

TEST(AboutInfo, ParseMemInfo) {
    const QByteArray twoGiB = "MemTotal:        2097152 kB\n"
                              "MemFree:          100000 kB\n"
                              "MemAvailable:     524288 kB\n"
                              "Buffers:           12345 kB\n";
    MemoryStatus status = ParseMemInfo(twoGiB);
    EXPECT_EQ(status.TotalPhys, Q_INT64_C(2147483648));
    EXPECT_EQ(status.MemoryLoad, 75);

    // Older kernels have no MemAvailable; MemFree stands in.
    status = ParseMemInfo("MemTotal: 1000 kB\nMemFree: 333 kB\n");
    EXPECT_EQ(status.TotalPhys, 1024000);
    EXPECT_EQ(status.MemoryLoad, 67);

    for (const QByteArray& broken :
         QList<QByteArray>{"", "MemTotal: lots kB\n", "MemTotal: 0 kB\n", "MemAvailable: 5 kB\n"}) {
        status = ParseMemInfo(broken);
        EXPECT_EQ(status.TotalPhys, 0) << broken.constData();
        EXPECT_EQ(status.MemoryLoad, 0) << broken.constData();
    }

    status = ReadMemoryStatus();
    EXPECT_GT(status.TotalPhys, 0);
    EXPECT_GE(status.MemoryLoad, 0);
    EXPECT_LE(status.MemoryLoad, 100);
    EXPECT_EQ(ReadMemoryStatus("/nonexistent/meminfo").TotalPhys, 0);
}

TEST(AboutInfo, MemoryTextsFollowTheLocale) {
    const qint64 bytes = Q_INT64_C(2147483648);
    EXPECT_EQ(FormatTotalMemory(bytes, QLocale(QLocale::English, QLocale::UnitedStates)),
              "2,097,152 KB");
    EXPECT_EQ(FormatTotalMemory(bytes, QLocale(QLocale::German, QLocale::Germany)), "2.097.152 KB");
    QLocale noGroups(QLocale::English, QLocale::UnitedStates);
    noGroups.setNumberOptions(QLocale::OmitGroupSeparator);
    EXPECT_EQ(FormatTotalMemory(bytes, noGroups), "2,097,152 KB");
    EXPECT_EQ(FormatTotalMemory(1023, QLocale::c()), "0 KB");
    EXPECT_EQ(FormatMemoryLoad(42), "42 %");
}

TEST(WebLinks, MailAndPagesGoThroughTheOpener) {
    QList<QUrl> opened;
    const UrlOpener previous = SetUrlOpener([&opened](const QUrl& url) { opened << url; });
    OpenAddress("http://zorvane.example.org/zorvane.php#faq");
    OpenMail("", "Zorvane...", "http://zorvane.example.org/zorvane.php");
    OpenMail("support@zorvane.example.org", "", "");
    SetUrlOpener(previous);

    ASSERT_EQ(opened.size(), 3);
    EXPECT_EQ(opened[0].toString(), "http://zorvane.example.org/zorvane.php#faq");
    EXPECT_EQ(opened[1].scheme(), "mailto");
    EXPECT_EQ(opened[1].path(), "");
    EXPECT_EQ(opened[1].toString(),
              "mailto:?subject=Zorvane...&Body=http://zorvane.example.org/zorvane.php");
    EXPECT_EQ(opened[2].toString(), "mailto:support@zorvane.example.org?subject=&Body=");
}
