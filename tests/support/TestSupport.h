#pragma once

#include <QByteArray>
#include <QTest>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <optional>

class QWidget;

// Waits, letting events run, until cond holds; fails the test when it does
// not within ms. (Qt's QTRY_ macros report to QTest, not to GoogleTest.)
#define ASSERT_EVENTUALLY(cond, ms)                                                                \
    ASSERT_TRUE(QTest::qWaitFor([&]() -> bool { return static_cast<bool>(cond); }, ms)) << #cond
#define EXPECT_EVENTUALLY(cond, ms)                                                                \
    EXPECT_TRUE(QTest::qWaitFor([&]() -> bool { return static_cast<bool>(cond); }, ms)) << #cond

namespace testsupport {

// Sets an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QString& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    QByteArray Name;
    std::optional<QByteArray> Old;
};

// A private home for one test: settings, temporary folder, desktop and
// documents all point inside a fresh temporary folder.
class TestHome {
public:
    TestHome();
    QString Path() const { return Dir.path(); }
    QString ConfigHome() const { return Dir.path() + QStringLiteral("/config"); }
    QString Temp() const { return Dir.path() + QStringLiteral("/tmp"); }
    QString Desktop() const { return Dir.path() + QStringLiteral("/Desktop"); }
    QString Documents() const { return Dir.path() + QStringLiteral("/Documents"); }

private:
    QTemporaryDir Dir;
    ScopedEnv Home;
    ScopedEnv Config;
    ScopedEnv Tmp;
    ScopedEnv Runtime;
};

// A working folder laid out as an installation has it, without content.
class WorkingFolder {
public:
    WorkingFolder();
    // Ends in the separator.
    QString Path() const;

private:
    QTemporaryDir Dir;
};

// Writes bytes to path, creating folders; returns path.
QString WriteFile(const QString& path, const QByteArray& bytes);
QByteArray ReadFile(const QString& path);

// Runs answer on the next modal widget that opens (a message box, a dialog),
// as a person would, polling from the event loop.
void AnswerNextModal(std::function<void(QWidget*)> answer, int timeoutMs = 5000);
// Presses the message box button whose text is buttonText.
void AnswerNextMessageBox(const QString& buttonText, QString* seenText = nullptr);

} // namespace testsupport
