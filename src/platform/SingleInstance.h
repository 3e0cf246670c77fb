#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

#include <memory>

// One running instance per user. The first start listens on a local socket;
// a later start connects, asks the first to come forward and ends.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when another instance answered and has been asked to come forward.
    bool ActivateRunning();

    // Starts listening; false when the name is held by a live instance.
    bool Listen();

    // Where the socket lives: $XDG_RUNTIME_DIR/Zorvane-<uid>, or, without
    // one, Zorvane-<uid>.socket in the temporary folder (beside, not inside,
    // the temporary root).
    static QString ServerName();

signals:
    void activationRequested();

private:
    void OnNewConnection();

    std::unique_ptr<QLocalServer> Server;
};
