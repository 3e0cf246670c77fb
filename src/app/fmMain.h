#pragma once

#include <QMainWindow>
#include <QString>

#include <functional>

// The builder window: the program's main window.
class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    // programFolder: the working folder; empty means the program file's folder.
    explicit TfrmMain(const QString& programFolder = {}, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // Start-up work. False when the temporary root cannot be created; the
    // message has been shown and the program must end with exit code 1.
    bool FormCreate();
    // Close-down work; runs once.
    void FormClose();

    void KeyState();
    void FalsizeBuilded();
    void mniOptionsClick();

    // Restores the window when minimised, otherwise raises and activates it.
    void BringForward();

    // Shows the options dialog modally; set by the options dialog's owner.
    std::function<void()> ShowOptionsDialog;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QString ProgramFolderOverride;
    bool Closed = false;
};
