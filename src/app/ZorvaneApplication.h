#pragma once

#include <QApplication>

// The application object. Its notify is the general error handler: an
// exception that leaves an event handler ends that command only, and its
// message is shown with the application title.
class ZorvaneApplication : public QApplication {
    Q_OBJECT
public:
    ZorvaneApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Shows message in a box with the application title (used by notify).
    static void ShowError(const QString& message);

    // Tool tips stay 3000 ms; Qt shows the next one at once while one is up.
    static constexpr int kToolTipHideMs = 3000;
};
