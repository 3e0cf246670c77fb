#include "app/ZorvaneApplication.h"
#include "app/fmMain.h"
#include "app/gRegistry.h"
#include "platform/SingleInstance.h"

#include <exception>

int main(int argc, char** argv) {
    ZorvaneApplication app(argc, argv);

    SingleInstance instance;
    if (instance.ActivateRunning())
        return 0;
    instance.Listen();

    try {
        WriteSetting(kSettingsKey, QStringLiteral("ProgramLocation"),
                     QCoreApplication::applicationFilePath());
    } catch (const std::exception& error) {
        ZorvaneApplication::ShowError(QString::fromLocal8Bit(error.what()));
    }

    TfrmMain window;
    if (!window.FormCreate())
        return 1;
    QObject::connect(&instance, &SingleInstance::activationRequested, &window,
                     &TfrmMain::BringForward);
    window.show();
    app.exec();
    return 0;
}
