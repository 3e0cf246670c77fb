#pragma once

#include <QString>
#include <QUrl>

#include <functional>

// Every web page and prepared mail of the program opens through one
// function, so that tests can record what would have been opened.

using UrlOpener = std::function<void(const QUrl&)>;

// Replaces the opener and returns the previous one; an empty opener brings
// back the desktop's default handler (QDesktopServices::openUrl).
UrlOpener SetUrlOpener(UrlOpener opener);

// Lets pending window messages run, then opens address with the desktop's
// default handler. Failures are not reported.
void OpenAddress(const QString& address);

// The same for "mailto:" + address + "?subject=" + subject + "&Body=" + body,
// each part as given.
void OpenMail(const QString& address, const QString& subject, const QString& body);
