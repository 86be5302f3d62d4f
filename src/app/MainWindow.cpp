#include "MainWindow.h"

#include "AboutBox.h"
#include "HostChecks.h"
#include "LogWindow.h"
#include "ProgramIcon.h"
#include "SettingsStore.h"
#include "TextFit.h"
#include "Twips.h"
#include "WindowFonts.h"
#include "WindowGeometry.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>

namespace G = WindowGeometry;

namespace
{

struct RowButtonSignal {
    const char *name;
    void (frmPelmora2::*signal)(int);
};

struct BottomButtonSignal {
    const char *name;
    void (frmPelmora2::*signal)();
};

const RowButtonSignal RowButtonSignals[] = {
    {"cmdSet_IP", &frmPelmora2::cmdSet_IP_Click},     {"cmdPing", &frmPelmora2::cmdPing_Click},
    {"cmdSet_Port", &frmPelmora2::cmdSet_Port_Click}, {"cmdSet_GW", &frmPelmora2::cmdSet_GW_Click},
    {"cmdSet_Sub", &frmPelmora2::cmdSet_Sub_Click},   {"cmdComCheck", &frmPelmora2::cmdComCheck_Click},
};

const BottomButtonSignal BottomButtonSignals[] = {
    {"cmdAllSet_IP", &frmPelmora2::cmdAllSet_IP_Click},
    {"cmdAllPing", &frmPelmora2::cmdAllPing_Click},
    {"cmdAllSet_Port", &frmPelmora2::cmdAllSet_Port_Click},
    {"cmdAllSet_GW", &frmPelmora2::cmdAllSet_GW_Click},
    {"cmdAllSet_Subnet", &frmPelmora2::cmdAllSet_Subnet_Click},
    {"cmdAllComCheck", &frmPelmora2::cmdAllComCheck_Click},
};

// The tick box handlers in pane order.
void (frmPelmora2::*const TickHandlers[])(int) = {
    &frmPelmora2::chkSlot_IP_Click,  &frmPelmora2::chkSlot_Port_Click,     &frmPelmora2::chkSlot_GW_Click,
    &frmPelmora2::chkSlot_Sub_Click, &frmPelmora2::chkSlot_ComCheck_Click,
};

bool validSlot(int slot)
{
    return slot >= 0 && slot < SlotTable::SlotCount;
}

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

    for (int slot = 0; slot < SlotTable::SlotCount; ++slot)
        addLabel(
            QStringLiteral("labUnit[%1]").arg(slot), QStringLiteral("SLOT %1").arg(slot),
            WindowFonts::SlotCaption(),
            twipsRect(G::SlotCaptionLeft, G::SlotCaptionTops[slot], G::SlotCaptionWidth, G::RowLabelHeight),
            central);

    const auto &layouts = PaneLayouts();
    for (std::size_t i = 0; i < layouts.size(); ++i) {
        m_panes[i] = BuildPane(layouts[i], central);
        connectPane(m_panes[i]);
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

void frmPelmora2::connectPane(const PaneWidgets &pane)
{
    const auto tickHandler = TickHandlers[int(pane.pane)];
    for (int slot = 0; slot < SlotTable::SlotCount; ++slot)
        connect(pane.ticks[slot], &QCheckBox::toggled, this,
                [this, tickHandler, slot] { (this->*tickHandler)(slot); });

    for (const auto &buttons : pane.rowButtons)
        for (const RowButtonSignal &s : RowButtonSignals)
            if (buttons.name == QLatin1String(s.name))
                for (int slot = 0; slot < SlotTable::SlotCount; ++slot)
                    connect(buttons.rows[slot], &QPushButton::clicked, this,
                            [this, signal = s.signal, slot] { emit(this->*signal)(slot); });

    for (QPushButton *button : pane.bottomButtons)
        for (const BottomButtonSignal &s : BottomButtonSignals)
            if (button->objectName() == QLatin1String(s.name))
                connect(button, &QPushButton::clicked, this, s.signal);
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

bool frmPelmora2::Form_Load(HostChecks &hostChecks)
{
    LoadSlotSettings();
    ShowPane_IP(true);
    ShowPane_Port(false);
    ShowPane_GW(false);
    ShowPane_Sub(false);
    ShowPane_ComCheck(false);
    m_operationBusy = false;
    if (!hostChecks.CheckAdminRights())
        return false;
    paneOf(Pane::IP).bottomButtons.front()->setFocus(); // "Set All"
    return true;
}

void frmPelmora2::Form_Unload(bool &cancel)
{
    if (m_operationBusy) {
        cancel = true;
        return;
    }
    if (!SaveSlotSettings()) // the window still closes; the user learns that the changes are lost
        showMessageBox(SaveFailureText(), QStringLiteral("Pelmora2"), BoxIcon::Critical);
}

QString frmPelmora2::SaveFailureText() const
{
    QString where = m_store.iniPath(QStringLiteral("QV512"));
    if (where.isEmpty())
        where = QStringLiteral("the registry (HKEY_CURRENT_USER\\Software\\Pelmora2\\QV512)");
    return QStringLiteral("The slot settings could not be saved to ") + where + QStringLiteral(":\r\n") +
           m_store.writeError() + QStringLiteral(".");
}

void frmPelmora2::closeEvent(QCloseEvent *event)
{
    bool cancel = false;
    Form_Unload(cancel);
    if (cancel)
        event->ignore();
    else
        event->accept();
}

void frmPelmora2::LoadSlotSettings()
{
    m_slots.LoadSlotSettings(m_store);
}

bool frmPelmora2::SaveSlotSettings()
{
    return m_slots.SaveSlotSettings(m_store);
}

const PaneWidgets &frmPelmora2::paneOf(Pane pane) const
{
    return m_panes[int(pane)];
}

void frmPelmora2::ShowPane(Pane pane, bool show)
{
    const PaneWidgets &widgets = paneOf(pane);
    widgets.setVisible(show);
    if (!show)
        return;
    for (int slot = 0; slot < SlotTable::SlotCount; ++slot) {
        widgets.ticks[slot]->setChecked(m_slots.SlotTicked[slot] == 1);
        for (const auto &field : widgets.fields) {
            switch (field.column) {
            case SlotColumn::MAC:
                field.rows[slot]->setText(m_slots.SlotMAC[slot]);
                break;
            case SlotColumn::IP:
                field.rows[slot]->setText(m_slots.SlotIP[slot]);
                break;
            case SlotColumn::Port:
                field.rows[slot]->setText(m_slots.SlotPort[slot]);
                break;
            case SlotColumn::None:
                break;
            }
        }
    }
}

void frmPelmora2::ShowPane_IP(bool show)
{
    ShowPane(Pane::IP, show);
}

void frmPelmora2::ShowPane_Port(bool show)
{
    ShowPane(Pane::Port, show);
}

void frmPelmora2::ShowPane_GW(bool show)
{
    ShowPane(Pane::GW, show);
}

void frmPelmora2::ShowPane_Sub(bool show)
{
    ShowPane(Pane::Sub, show);
}

void frmPelmora2::ShowPane_ComCheck(bool show)
{
    ShowPane(Pane::ComCheck, show);
}

void frmPelmora2::ShowOnlyPane(Pane pane)
{
    ShowPane_IP(pane == Pane::IP);
    ShowPane_Port(pane == Pane::Port);
    ShowPane_GW(pane == Pane::GW);
    ShowPane_Sub(pane == Pane::Sub);
    ShowPane_ComCheck(pane == Pane::ComCheck);
}

void frmPelmora2::mnuIP_Click()
{
    ShowOnlyPane(Pane::IP);
}

void frmPelmora2::mnuPort_Click()
{
    ShowOnlyPane(Pane::Port);
}

void frmPelmora2::mnuGateWay_Click()
{
    ShowOnlyPane(Pane::GW);
}

void frmPelmora2::mnuSubnet_Click()
{
    ShowOnlyPane(Pane::Sub);
}

void frmPelmora2::mnuComCheck_Click()
{
    ShowOnlyPane(Pane::ComCheck);
}

void frmPelmora2::mnuVersion_Click()
{
    frmVersion about(this);
    about.exec();
}

void frmPelmora2::tickClicked(Pane pane, int index)
{
    m_slots.SlotTicked[index] = paneOf(pane).ticks[index]->isChecked() ? 1 : 0;
}

void frmPelmora2::chkSlot_IP_Click(int index)
{
    tickClicked(Pane::IP, index);
}

void frmPelmora2::chkSlot_Port_Click(int index)
{
    tickClicked(Pane::Port, index);
}

void frmPelmora2::chkSlot_GW_Click(int index)
{
    tickClicked(Pane::GW, index);
}

void frmPelmora2::chkSlot_Sub_Click(int index)
{
    tickClicked(Pane::Sub, index);
}

void frmPelmora2::chkSlot_ComCheck_Click(int index)
{
    tickClicked(Pane::ComCheck, index);
}

QString frmPelmora2::logText() const
{
    return m_txtLog->logText();
}

void frmPelmora2::setMessageBoxes(MessageBoxes *boxes)
{
    m_boxes = boxes ? boxes : &m_realBoxes;
}

QLineEdit *frmPelmora2::fieldWidget(Field field, int slot) const
{
    if (!validSlot(slot))
        return nullptr;
    for (const PaneWidgets &pane : m_panes)
        if (const auto *array = pane.fieldArray(field))
            return array->rows[slot];
    return nullptr;
}

QString frmPelmora2::fieldText(Field field, int slot) const
{
    const QLineEdit *edit = fieldWidget(field, slot);
    return edit ? edit->text() : QString();
}

void frmPelmora2::setFieldText(Field field, int slot, const QString &text)
{
    if (QLineEdit *edit = fieldWidget(field, slot))
        edit->setText(text);
}

bool frmPelmora2::slotTicked(Pane pane, int slot) const
{
    return validSlot(slot) && paneOf(pane).ticks[slot]->isChecked();
}

void frmPelmora2::appendLog(const QString &text)
{
    m_txtLog->appendLog(text);
}

void frmPelmora2::setPaneEnabled(Pane pane, bool enabled)
{
    SetPaneEnabled(paneOf(pane).lockControls(), m_menu.items(), enabled);
}

void frmPelmora2::setHourglass(bool on)
{
    if (on)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
}

void frmPelmora2::setOperationBusy(bool busy)
{
    m_operationBusy = busy;
}

void frmPelmora2::storeSlotMAC(int slot, const QString &macTail)
{
    if (validSlot(slot))
        m_slots.SlotMAC[slot] = macTail;
}

void frmPelmora2::storeSlotIP(int slot, const QString &ip)
{
    if (validSlot(slot))
        m_slots.SlotIP[slot] = ip;
}

void frmPelmora2::storeSlotPort(int slot, const QString &port)
{
    if (validSlot(slot))
        m_slots.SlotPort[slot] = port;
}

void frmPelmora2::showMessageBox(const QString &text, const QString &title, BoxIcon icon)
{
    m_boxes->showMessageBox(text, title, icon);
}
