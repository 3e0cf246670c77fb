#include "app/ZorvaneApplication.h"

#include <QHelpEvent>
#include <QMessageBox>
#include <QToolTip>
#include <QWidget>

#include <exception>

ZorvaneApplication::ZorvaneApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Zorvane"));
    setOrganizationName(QStringLiteral("QUELV"));
    setApplicationVersion(QStringLiteral(ZORVANE_VERSION));
}

bool ZorvaneApplication::notify(QObject* receiver, QEvent* event) {
    try {
        if (event->type() == QEvent::ToolTip && receiver->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(receiver);
            if (!widget->toolTip().isEmpty() && widget->toolTipDuration() < 0) {
                const auto* help = static_cast<QHelpEvent*>(event);
                QToolTip::showText(help->globalPos(), widget->toolTip(), widget, {},
                                   kToolTipHideMs);
                return true;
            }
        }
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowError(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        ShowError(QStringLiteral("An unexpected error occurred."));
    }
    return false;
}

void ZorvaneApplication::ShowError(const QString& message) {
    QMessageBox box(QMessageBox::Critical, applicationName(), message, QMessageBox::Ok);
    box.exec();
}
