#include "AboutBox.h"

#include "ProgramIcon.h"
#include "TextFit.h"
#include "Twips.h"
#include "Version.h"
#include "WindowFonts.h"

#include <QLabel>
#include <QPushButton>

namespace
{

constexpr int LabelWidth = 2880;
constexpr int LabelHeight = 255;

QLabel *placeLabel(const char *name, const QString &text, int left, int top, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(twipsRect(left, top, LabelWidth, LabelHeight));
    return label;
}

} // namespace

frmVersion::frmVersion(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmVersion"));
    setWindowTitle(QStringLiteral("Version"));
    setWindowIcon(ProgramIcon());
    setModal(true);
    setFont(WindowFonts::Text());
    setFixedSize(px(4680), px(3285));

    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setPixmap(ProgramIconPixmap(32));
    picture->setGeometry(px(360), px(720), 32, 32);

    placeLabel("Label1", QStringLiteral("QV512"), 1320, 360, this);
    placeLabel("Label2", QStringLiteral("Pelmora2"), 1320, 720, this);
    m_lblVer = placeLabel("lblVer", QString(), 1680, 1080, this);

    m_cmdOK = new QPushButton(QStringLiteral("OK"), this);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdOK->setGeometry(twipsRect(1320, 2520, 1935, 495));
    m_cmdOK->setDefault(true);
    connect(m_cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    Form_Load();
    TextFit::FitTexts(this);
}

QString frmVersion::VersionLine()
{
    return QStringLiteral("Version : %1.%2.%3")
        .arg(Pelmora2VersionMajor)
        .arg(Pelmora2VersionMinor)
        .arg(Pelmora2VersionRevision);
}

void frmVersion::Form_Load()
{
    m_lblVer->setText(VersionLine());
}
