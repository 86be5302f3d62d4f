#include "ConsoleOperations.h"

#include "AddressValidation.h"
#include "ConsoleLogLines.h"
#include "ConsoleRecipe.h"
#include "OperationButtons.h"
#include "OperationView.h"
#include "RemoteConsole.h"

namespace
{

// Runs one cleanup step; a failure in it must not skip the steps after it.
template <typename Step> void runGuarded(Step &&step) noexcept
{
    try {
        step();
    } catch (...) { // NOLINT(bugprone-empty-catch): the slot has already failed or is ending
    }
}

} // namespace

ConsoleOperations::ConsoleOperations(OperationView &view, RemoteConsole &console)
    : m_view(view), m_console(console)
{
}

SlotOutcome ConsoleOperations::runSlotButton(ConsoleOp op, int slot)
{
    return RunSlotButton(
        m_view, slot, [&](int s) { return runSlot(op, s); }, [&] { showCompletion(RecipeFor(op)); });
}

void ConsoleOperations::runAllTicked(ConsoleOp op)
{
    const ConsoleRecipe &recipe = RecipeFor(op);
    RunAllTickedButton(
        m_view, recipe.pane, [&](int s) { return runSlot(op, s); }, [&] { showCompletion(recipe); });
}

SlotOutcome ConsoleOperations::runSlot(ConsoleOp op, int slot)
{
    if (slot < 0 || slot >= SlotCount)
        return {};
    const ConsoleRecipe &recipe = RecipeFor(op);
    std::optional<QString> failure;
    try {
        failure = workOnSlot(recipe, slot);
        if (!failure) {
            finishPassed(recipe);
            return {true, recipe.completionText};
        }
    } catch (...) {
        // An unexpected failure has no text of its own: LastErrorText as it stands, else the generic text.
        failure = QString();
    }
    QString text;
    try {
        text = failureText(recipe, slot, *failure);
    } catch (...) { // NOLINT(bugprone-empty-catch): the box below still shows, without a text
    }
    finishFailed(recipe, slot, text);
    return {false, text};
}

std::optional<QString> ConsoleOperations::workOnSlot(const ConsoleRecipe &recipe, int slot)
{
    m_view.setHourglass(true);
    m_view.setPaneEnabled(recipe.pane, false);

    // The log shows the fields as typed, before the ports are padded.
    const QString further =
        recipe.furtherField ? recipe.furtherField->label + m_view.fieldText(recipe.furtherField->field, slot)
                            : QString();
    m_view.appendLog(SlotHeaderLine(slot, recipe.headerText));
    m_view.appendLog(SlotFieldLine(m_view.fieldText(recipe.ipField, slot),
                                   m_view.fieldText(recipe.portField, slot), further));
    m_console.resetLastError();

    if (std::optional<QString> checkError = checkRow(recipe, slot))
        return checkError;

    recipe.padFields(m_view, slot);

    const QString host = m_view.fieldText(recipe.ipField, slot);
    const QString port = m_view.fieldText(recipe.portField, slot);
    if (m_console.SockConnect(host, port) != RemoteConsole::SockConnected)
        return recipe.connectionErrorText;
    if (m_console.ConsoleAttach(host, port) != RemoteConsole::ConsoleAttached)
        return recipe.connectionErrorText;
    if (m_console.ConsoleCommand(recipe.commandLine(m_view, slot)) != RemoteConsole::CommandEchoed)
        return recipe.commandErrorText;

    if (recipe.pauseOrder == ConsoleRecipe::PauseOrder::RememberThenPause)
        rememberRow(recipe, slot);
    m_console.Sleep(recipe.pauseMs);
    if (recipe.pauseOrder == ConsoleRecipe::PauseOrder::PauseThenRemember)
        rememberRow(recipe, slot);
    return std::nullopt;
}

std::optional<QString> ConsoleOperations::checkRow(const ConsoleRecipe &recipe, int slot) const
{
    for (const ConsoleRecipe::FieldCheck &check : recipe.checks) {
        const QString text = m_view.fieldText(check.field, slot);
        const bool passed = check.kind == ConsoleRecipe::FieldCheck::Kind::Address
                                ? ConvIPAddr(text).size() == 12
                                : !text.isEmpty();
        if (!passed)
            return check.errorText;
    }
    return std::nullopt;
}

void ConsoleOperations::rememberRow(const ConsoleRecipe &recipe, int slot)
{
    // The port used for this connection: for the port change that is still the old port.
    m_view.storeSlotIP(slot, m_view.fieldText(recipe.ipField, slot));
    m_view.storeSlotPort(slot, m_view.fieldText(recipe.portField, slot));
}

void ConsoleOperations::finishPassed(const ConsoleRecipe &recipe)
{
    m_console.SockClose();
    m_view.appendLog(SlotPassLines());
    m_view.setPaneEnabled(recipe.pane, true);
    m_view.setHourglass(false);
}

QString ConsoleOperations::failureText(const ConsoleRecipe &recipe, int slot,
                                       const QString &fallbackText) const
{
    // A text the console left (attach, command) says more than the step's own fallback.
    if (!m_console.LastErrorText.isEmpty())
        return m_console.LastErrorText;
    if (!fallbackText.isEmpty())
        return fallbackText;
    return recipe.genericErrorText(slot);
}

void ConsoleOperations::finishFailed(const ConsoleRecipe &recipe, int slot, const QString &text) noexcept
{
    runGuarded([&] {
        m_view.appendLog(SlotErrorLines(text));
        // The pane stays locked while the box is open.
        m_view.showMessageBox(QStringLiteral("SLOT ") + QString::number(slot) + QStringLiteral(" : ") + text,
                              recipe.errorTitle, BoxIcon::Critical);
    });
    releaseSlot(recipe);
}

void ConsoleOperations::releaseSlot(const ConsoleRecipe &recipe) noexcept
{
    runGuarded([&] { m_console.SockClose(); });
    runGuarded([&] { m_view.setPaneEnabled(recipe.pane, true); });
    runGuarded([&] { m_view.setHourglass(false); });
}

void ConsoleOperations::showCompletion(const ConsoleRecipe &recipe) noexcept
{
    runGuarded(
        [&] { m_view.showMessageBox(recipe.completionText, recipe.completionTitle, BoxIcon::Information); });
}
