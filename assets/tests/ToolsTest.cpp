#include "support/TestSupport.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using testsupport::WriteFile;

namespace {

struct ToolRun {
    int Exit = -1;
    QString Errors;
};

ToolRun Start(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(30000));
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardError())};
}

const QByteArray kCorner =
    R"(<svg xmlns="http://www.w3.org/2000/svg" width="10" height="10"><rect width="10" height="10" fill="#f00"/></svg>)";
const QByteArray kShape =
    R"(<svg xmlns="http://www.w3.org/2000/svg" width="10" height="10"><circle cx="6" cy="4" r="3" fill="#f00"/></svg>)";
const QByteArray kFetches =
    R"(<svg xmlns="http://www.w3.org/2000/svg" width="10" height="10"><image href="http://example.org/a.png" width="5" height="5"/></svg>)";
const QByteArray kLettered =
    R"(<svg xmlns="http://www.w3.org/2000/svg" width="10" height="10"><text x="5" y="5">A</text></svg>)";

struct ToolCase {
    const char* What;
    QByteArray Svg;
    QByteArray Line; // the manifest line
    int Exit;
    const char* Message;
};

// A picture the renderer cannot make stops the build with the reason, and
// writes nothing.
TEST(RenderTool, RefusesWhatWouldMakeABrokenSample) {
    const ToolCase cases[] = {
        {"drawing on the corner", kCorner, "Pictures/Packets/A/a.png a.svg 10x10 #ffffff", 1,
         "bottom-left pixel"},
        {"picture fetched from elsewhere", kFetches, "Pictures/Packets/A/a.png a.svg 10x10 #ffffff",
         1, "self-contained"},
        {"text needs fonts", kLettered, "Pictures/Packets/A/a.png a.svg 10x10 #ffffff", 1,
         "self-contained"},
        {"no background", kShape, "Pictures/Packets/A/a.png a.svg 10x10", 1, ":2:"},
        {"format without a writer", kShape, "Pictures/Packets/A/a.xyz a.svg 10x10 #ffffff", 1,
         "a.xyz"},
        {"missing drawing", kShape, "Pictures/Packets/A/a.png b.svg 10x10 #ffffff", 1, "b.svg"},
    };
    for (const ToolCase& c : cases) {
        SCOPED_TRACE(c.What);
        QTemporaryDir dir;
        WriteFile(dir.filePath("svg/a.svg"), c.Svg);
        WriteFile(dir.filePath("samples.txt"), "# comment\n" + c.Line + "\n");
        const ToolRun run = Start(ZORVANE_RENDER_ART, {"samples", dir.filePath("samples.txt"),
                                                       dir.filePath("svg"), dir.filePath("out")});
        EXPECT_EQ(run.Exit, c.Exit);
        EXPECT_TRUE(run.Errors.contains(c.Message)) << qPrintable(run.Errors);
        EXPECT_FALSE(QFileInfo::exists(dir.filePath("out/Pictures/Packets/A/a.png")));
    }
    EXPECT_EQ(Start(ZORVANE_RENDER_ART, {"draw"}).Exit, 2);
}

TEST(SoundTool, RefusesAnUnknownSound) {
    QTemporaryDir dir;
    const ToolRun run = Start(ZORVANE_MAKE_SOUNDS, {dir.path(), "Chime.wav", "Gong.wav"});
    EXPECT_EQ(run.Exit, 1);
    EXPECT_TRUE(run.Errors.contains("Gong.wav")) << qPrintable(run.Errors);
    EXPECT_EQ(Start(ZORVANE_MAKE_SOUNDS, {dir.path()}).Exit, 2);
}

} // namespace
