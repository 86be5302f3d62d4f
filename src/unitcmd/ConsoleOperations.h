#pragma once

#include "OperationView.h"

#include <QString>
#include <optional>

class RemoteConsole;
struct ConsoleRecipe;

// The four console operations over one common per-slot frame.
enum class ConsoleOp { ComCheck, SetPort, SetGW, SetSubnet };

class ConsoleOperations
{
public:
    ConsoleOperations(OperationView &view, RemoteConsole &console);

    // The row button of a pane: runs the slot whether or not it is ticked.
    SlotOutcome runSlotButton(ConsoleOp op, int slot);
    // The bottom button of a pane: every ticked slot of that pane, 0 to 7.
    void runAllTicked(ConsoleOp op);

private:
    // Never throws; a slot outside 0 to 7 does nothing and fails.
    SlotOutcome runSlot(ConsoleOp op, int slot);
    // Steps up to the remembered row; nullopt on a pass, else the failed step's fallback text.
    std::optional<QString> workOnSlot(const ConsoleRecipe &recipe, int slot);
    std::optional<QString> checkRow(const ConsoleRecipe &recipe, int slot) const;
    void rememberRow(const ConsoleRecipe &recipe, int slot);
    void finishPassed(const ConsoleRecipe &recipe);
    // The failure's text: what the console left, else the step's fallback, else the generic text.
    QString failureText(const ConsoleRecipe &recipe, int slot, const QString &fallbackText) const;
    void finishFailed(const ConsoleRecipe &recipe, int slot, const QString &text) noexcept;
    void releaseSlot(const ConsoleRecipe &recipe) noexcept;
    void showCompletion(const ConsoleRecipe &recipe) noexcept;

    OperationView &m_view;
    RemoteConsole &m_console;
};
