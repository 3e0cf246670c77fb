// The application object's general error handler, in a program of its own:
// it needs ZorvaneApplication in place of the plain test application.

#include "app/ZorvaneApplication.h"

#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// A command whose work fails unexpectedly.
class FailingCommand : public QObject {
public:
    int Runs = 0;
    bool event(QEvent* event) override {
        if (event->type() == QEvent::User) {
            ++Runs;
            throw std::runtime_error("The disk is full.");
        }
        return QObject::event(event);
    }
};

} // namespace

TEST(ErrorHandler, ShowsTheMessageWithTheTitleAndTheProgramGoesOn) {
    FailingCommand command;
    QString text;
    QString title;
    QTimer::singleShot(0, [&] {
        // Answered like a person once the box is up.
        QTimer::singleShot(50, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            text = box->text();
            title = box->windowTitle();
            box->accept();
        });
        QEvent run(QEvent::User);
        QCoreApplication::sendEvent(&command, &run);
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return !text.isEmpty(); }, 5000));
    EXPECT_EQ(text, "The disk is full.");
    EXPECT_EQ(title, "Zorvane");

    // The next command runs as usual.
    QCoreApplication::postEvent(&command, new QEvent(QEvent::User));
    text.clear();
    QTimer::singleShot(50, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            text = box->text();
            box->accept();
        }
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return command.Runs == 2 && !text.isEmpty(); }, 5000));
}

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    ZorvaneApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
