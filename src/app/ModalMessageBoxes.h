#pragma once

#include "OperationView.h"

class QWidget;

// Real modal QMessageBox windows with one OK button, centred on their parent.
class ModalMessageBoxes : public MessageBoxes
{
public:
    explicit ModalMessageBoxes(QWidget *parent) : m_parent(parent) {}

    void showMessageBox(const QString &text, const QString &title, BoxIcon icon) override;

private:
    QWidget *m_parent;
};
