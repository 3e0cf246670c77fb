#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <memory>

namespace testsupport {

ScopedEnv::ScopedEnv(const char* name, const QString& value) : Name(name) {
    if (qEnvironmentVariableIsSet(name))
        Old = qgetenv(name);
    qputenv(name, value.toLocal8Bit());
}

ScopedEnv::~ScopedEnv() {
    if (Old)
        qputenv(Name.constData(), *Old);
    else
        qunsetenv(Name.constData());
}

namespace {
QString Made(const QString& path) {
    QDir().mkpath(path);
    return path;
}
} // namespace

TestHome::TestHome()
    : Home("HOME", Made(Dir.path())), Config("XDG_CONFIG_HOME", Made(Dir.path() + "/config")),
      Tmp("TMPDIR", Made(Dir.path() + "/tmp")), Runtime("XDG_RUNTIME_DIR", Made(Dir.path() + "/run")) {
    QFile::setPermissions(Dir.path() + "/run", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    Made(Desktop());
    Made(Documents());
    WriteFile(ConfigHome() + "/user-dirs.dirs",
              QStringLiteral("XDG_DESKTOP_DIR=\"%1\"\nXDG_DOCUMENTS_DIR=\"%2\"\n")
                  .arg(Desktop(), Documents())
                  .toUtf8());
}

WorkingFolder::WorkingFolder() {
    for (const char* sub : {"Engines", "Pictures/Packets", "Pictures/Surprises", "Sounds", "Fonts"})
        QDir().mkpath(Dir.path() + QLatin1Char('/') + QLatin1String(sub));
}

QString WorkingFolder::Path() const { return Dir.path() + QLatin1Char('/'); }

QString WriteFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    file.write(bytes);
    return path;
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void AnswerNextModal(std::function<void(QWidget*)> answer, int timeoutMs) {
    // Owned by the application; it deletes itself once it has answered or given up.
    auto* timer = new QTimer(QCoreApplication::instance());
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, clock, answer, timeoutMs] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            answer(modal);
        } else if (clock->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}

void AnswerNextMessageBox(const QString& buttonText, QString* seenText) {
    AnswerNextModal([buttonText, seenText](QWidget* modal) {
        if (seenText) {
            if (auto* box = qobject_cast<QMessageBox*>(modal))
                *seenText = box->text();
        }
        const auto buttons = modal->findChildren<QAbstractButton*>();
        for (QAbstractButton* button : buttons) {
            if (button->text().remove(QLatin1Char('&')) == buttonText) {
                button->click();
                return;
            }
        }
        modal->close();
    });
}

} // namespace testsupport
