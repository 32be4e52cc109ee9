#pragma once

#include <QKeySequence>
#include <QString>

// The hint of a toolbar action: its name, its key if it has one, and what it
// does, as in "Start (F5): start or continue the run".
QString ActionHint(const QString &name, const QString &what, const QKeySequence &key = {});
