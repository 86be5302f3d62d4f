#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// frmVersion: names the program and shows its version. Made afresh for every opening.
class frmVersion : public QDialog
{
    Q_OBJECT

public:
    explicit frmVersion(QWidget *parent = nullptr);

    // "Version : <major>.<minor>.<revision>", each number in plain decimal.
    static QString VersionLine();

private:
    void Form_Load();

    QLabel *m_lblVer = nullptr;
    QPushButton *m_cmdOK = nullptr;
};
