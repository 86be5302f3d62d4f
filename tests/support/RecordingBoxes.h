#pragma once

#include "MessageBoxes.h"

#include <QStringList>

// Records each box as "<icon> <title>: <text>" instead of showing it.
struct RecordingBoxes : MessageBoxes {
    QStringList shown;
    void showMessageBox(const QString &text, const QString &title, BoxIcon icon) override
    {
        const char *icons[] = {"None", "Critical", "Exclamation", "Information"};
        shown << QStringLiteral("%1 %2: %3").arg(icons[int(icon)], title, text);
    }
};
