#pragma once

#include <QElapsedTimer>
#include <QString>

// The engine's run, from its own file to the end of the surprise: 0 when
// the surprise was shown, 1 when it is damaged (after the one message).
// Environment, for tests and measurement:
//   ZORVANE_ENGINE_MESSAGES=stderr  the damage message goes to stderr, no box
//   ZORVANE_ENGINE_TIMING=1         prints the time to the packet on stderr;
//                        =quit      and ends right after it
int RunSurpriseEngine(const QString& ownFile, const QElapsedTimer& sinceStart);

// What the recipient is told about a damaged surprise.
QString DamagedSurpriseMessage();
