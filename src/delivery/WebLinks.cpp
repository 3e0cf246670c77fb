#include "delivery/WebLinks.h"

#include <QCoreApplication>
#include <QDesktopServices>

namespace {

UrlOpener& CurrentOpener() {
    static UrlOpener opener;
    return opener;
}

void Open(const QUrl& url) {
    QCoreApplication::processEvents();
    if (const UrlOpener& opener = CurrentOpener())
        opener(url);
    else
        QDesktopServices::openUrl(url);
}

} // namespace

UrlOpener SetUrlOpener(UrlOpener opener) {
    UrlOpener previous = std::move(CurrentOpener());
    CurrentOpener() = std::move(opener);
    return previous;
}

void OpenAddress(const QString& address) {
    Open(QUrl(address));
}

void OpenMail(const QString& address, const QString& subject, const QString& body) {
    Open(QUrl(QStringLiteral("mailto:") + address + QStringLiteral("?subject=") + subject +
              QStringLiteral("&Body=") + body));
}
