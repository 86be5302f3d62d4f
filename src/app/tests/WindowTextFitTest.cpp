// Every text of the window and the About box fits its control in the font the window resolved.
#include "AboutBox.h"
#include "TextFit.h"
#include "WindowFonts.h"
#include "WindowRig.h"

#include <algorithm>

namespace
{

const char *const Menus[] = {"mnuIP", "mnuPort", "mnuGateWay", "mnuSubnet", "mnuComCheck"};

// The widest text the field takes at its maximum length, found by typing every printable character.
QString widestTyped(QLineEdit *field)
{
    const int maxLength = field->maxLength();
    field->setMaxLength(32767);
    field->clear();
    for (char c = ' '; c < 127; ++c)
        QTest::keyClicks(field, QString(QChar(c)));
    const QFontMetricsF metrics(WindowFonts::Text());
    const QString admitted = field->text();
    const QChar widest = *std::max_element(admitted.begin(), admitted.end(), [&](QChar a, QChar b) {
        return metrics.horizontalAdvance(a) < metrics.horizontalAdvance(b);
    });
    field->setMaxLength(maxLength);
    return QString(maxLength, widest);
}

} // namespace

class WindowTextFitTest : public QObject
{
    Q_OBJECT

private slots:
    // Every caption, read-only text and widest typed text fits its control in the font the window
    // resolved; one too wide for its laid-out size is drawn at the largest quarter point size that fits.
    void everyTextFitsItsControl()
    {
        WindowRig w;
        w.open();
        frmVersion about(&w.window);
        QMap<QString, QString> typed; // per field array
        QStringList clipped;
        std::pair<int, QString> tightest{std::numeric_limits<int>::max(), {}};
        for (const char *menu : Menus) {
            w.menu(menu);
            for (QWidget *control : w.window.findChildren<QWidget *>() + about.findChildren<QWidget *>()) {
                auto *field = qobject_cast<QLineEdit *>(control);
                if (!control->isVisible() && control->window() == &w.window)
                    continue; // another pane's; seen when that pane is shown
                if (field && !field->isReadOnly()) {
                    const QString array = field->objectName().section('[', 0, 0);
                    if (!typed.contains(array))
                        typed[array] = widestTyped(field);
                    field->clear();
                    QTest::keyClicks(field, typed[array]);
                }
                const QString text = control->property("text").toString();
                if (text.isEmpty() || TextFit::TextRoom(control) < 0)
                    continue;
                QString name = control->objectName().isEmpty()
                                   ? control->parentWidget()->objectName() + " label"
                                   : control->objectName();
                name += " \"" + text + '"';
                const int margin =
                    TextFit::TextRoom(control) - TextFit::TextNeed(control, control->font(), text);
                if (margin < 0)
                    clipped << QStringLiteral("%1 by %2 px").arg(name).arg(-margin);
                tightest = std::min(tightest, {margin, name});
                QFont larger = control->font();
                larger.setPointSizeF(larger.pointSizeF() + 0.25);
                if (!QList<qreal>{9.75, 12, 13.5, 18}.contains(control->font().pointSizeF()) &&
                    TextFit::TextNeed(control, larger, text) <= TextFit::TextRoom(control))
                    clipped << name + " could be larger";
            }
        }
        qInfo("resolved font: %s; tightest text: %s with %d px to spare",
              qPrintable(QFontInfo(w.window.font()).family()), qPrintable(tightest.second), tightest.first);
        QVERIFY(w.text("txtIPAddr_IP", 7).size() == 15 && w.text("txtMCAddr", 7).size() == 8); // all typed
        w.child<QLineEdit>("txtMCAddr", 0)->setText("1"); // a field refits whenever its text changes
        QCOMPARE(w.child("txtMCAddr", 0)->font(), w.window.font());
        QVERIFY2(clipped.isEmpty(), qPrintable("not fitted: " + clipped.join("; ")));
    }
};

QTEST_MAIN(WindowTextFitTest)
#include "WindowTextFitTest.moc"
