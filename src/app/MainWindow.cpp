// Building the window and wiring its controls.
#include "MainWindow.h"

#include "LogWindow.h"
#include "ProgramIcon.h"
#include "TextFit.h"
#include "Twips.h"
#include "WindowFonts.h"
#include "WindowGeometry.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>

namespace G = WindowGeometry;

namespace
{

QLabel *addLabel(const QString &name, const QString &text, const QFont &font, const QRect &place,
                 QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(font);
    label->setGeometry(place);
    return label;
}

void addDividerLine(int x, QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Plain);
    line->setGeometry(x, 0, 1, px(G::DividerHeight));
}

} // namespace

frmPelmora2::frmPelmora2(SettingsStore &store, QWidget *parent)
    : QMainWindow(parent), m_store(store), m_realBoxes(this), m_boxes(&m_realBoxes)
{
    setObjectName(QStringLiteral("frmPelmora2"));
    setWindowTitle(QStringLiteral("Pelmora2 (QV512)"));
    setWindowIcon(ProgramIcon());
    setFont(WindowFonts::Text());

    m_menu = BuildMainMenu(menuBar());
    buildCentralArea();
    connectMenu();
    setTabOrder();
    layout()->setSizeConstraint(QLayout::SetFixedSize); // a fixed layout: nothing adapts to the size
}

frmPelmora2::~frmPelmora2() = default;

void frmPelmora2::buildCentralArea()
{
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("ClientArea"));
    central->setFixedSize(px(G::ClientWidth), px(G::ClientHeight));
    setCentralWidget(central);

    for (int slot = 0; slot < SlotCount; ++slot)
        addLabel(
            QStringLiteral("labUnit[%1]").arg(slot), QStringLiteral("SLOT %1").arg(slot),
            WindowFonts::SlotCaption(),
            twipsRect(G::SlotCaptionLeft, G::SlotCaptionTops[slot], G::SlotCaptionWidth, G::RowLabelHeight),
            central);

    const auto &layouts = PaneLayouts();
    for (std::size_t i = 0; i < layouts.size(); ++i) {
        m_panes[i] = BuildPane(layouts[i], central);
        connectPane(layouts[i], m_panes[i]);
    }

    // A double line: the two strokes 10 twips apart would fall on one pixel, so keep them two apart.
    addDividerLine(px(G::DividerX1), central);
    addDividerLine(px(G::DividerX1) + 2, central);

    addLabel(QStringLiteral("Label2"), QStringLiteral("<Log Window>"), WindowFonts::Title(),
             twipsRect(G::LogTitleLeft, G::TitleTop, G::LogTitleWidth, G::TitleHeight), central);
    m_txtLog = new LogWindow(central);
    m_txtLog->setObjectName(QStringLiteral("txtLog"));
    m_txtLog->setGeometry(twipsRect(G::LogLeft, G::LogTop, G::LogWidth, G::LogHeight));
    TextFit::FitTexts(central);
}

void frmPelmora2::connectPane(const PaneLayout &layout, const PaneWidgets &pane)
{
    for (int slot = 0; slot < SlotCount; ++slot)
        connect(pane.ticks[slot], &QCheckBox::toggled, this,
                [this, click = layout.tickClick, slot] { click(*this, slot); });

    for (const auto &buttons : pane.rowButtons)
        for (int slot = 0; slot < SlotCount; ++slot)
            connect(buttons.rows[slot], &QPushButton::clicked, this,
                    [this, click = buttons.click, slot] { click(*this, slot); });

    for (std::size_t i = 0; i < layout.bottom.size(); ++i)
        connect(pane.bottomButtons[i], &QPushButton::clicked, this,
                [this, click = layout.bottom[i].click] { click(*this); });
}

void frmPelmora2::connectMenu()
{
    connect(m_menu.mnuIP, &QAction::triggered, this, &frmPelmora2::mnuIP_Click);
    connect(m_menu.mnuPort, &QAction::triggered, this, &frmPelmora2::mnuPort_Click);
    connect(m_menu.mnuGateWay, &QAction::triggered, this, &frmPelmora2::mnuGateWay_Click);
    connect(m_menu.mnuSubnet, &QAction::triggered, this, &frmPelmora2::mnuSubnet_Click);
    connect(m_menu.mnuComCheck, &QAction::triggered, this, &frmPelmora2::mnuComCheck_Click);
    connect(m_menu.mnuVersion, &QAction::triggered, this, &frmPelmora2::mnuVersion_Click);
}

void frmPelmora2::setTabOrder()
{
    // One chain through all panes; the hidden panes' controls are skipped by the focus cycle.
    QList<QWidget *> chain;
    for (const PaneWidgets &pane : m_panes)
        chain.append(pane.tabOrder());
    chain.append(m_txtLog);
    for (qsizetype i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

QString frmPelmora2::logText() const
{
    return m_txtLog->logText();
}

void frmPelmora2::setMessageBoxes(MessageBoxes *boxes)
{
    m_boxes = boxes ? boxes : &m_realBoxes;
}
