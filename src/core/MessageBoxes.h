#pragma once

#include <QString>

enum class BoxIcon { None, Critical, Exclamation, Information };

// Modal message boxes with one OK button. The window shows real boxes; tests record them.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    // Returns when the user has closed the box.
    virtual void showMessageBox(const QString &text, const QString &title, BoxIcon icon) = 0;
};
