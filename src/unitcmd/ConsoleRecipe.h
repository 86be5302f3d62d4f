#pragma once

#include "ConsoleOperations.h"
#include "OperationView.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

// What one console operation fills into the common per-slot frame: its pane and fields, its log texts,
// its row checks, its command, its pause and its failure and completion texts.
struct ConsoleRecipe {
    // One check of the row, made before anything touches the network.
    struct FieldCheck {
        enum class Kind {
            Address,  // ConvIPAddr gives the 12-digit form
            NotEmpty, // the field holds any text
        };
        Kind kind = Kind::NotEmpty;
        Field field = Field::IPAddr_ComCheck;
        QString errorText;
    };

    // A field shown after the port in the field line, e.g. "   New Port : " and txtNewPort.
    struct FurtherField {
        QString label;
        Field field = Field::NewPort;
    };

    enum class PauseOrder {
        PauseThenRemember, // the check: the pause lets the unit finish before the row counts as good
        RememberThenPause, // the setting commands: the pause gives the unit time to take the setting
    };

    Pane pane = Pane::ComCheck;
    Field ipField = Field::IPAddr_ComCheck;
    Field portField = Field::Port_ComCheck;
    QString headerText; // between "<SLOT n" and ">"
    std::optional<FurtherField> furtherField;
    std::vector<FieldCheck> checks;  // in the order they are made; the first failure ends the slot
    std::vector<Field> paddedFields; // brought to four characters once every check has passed
    std::function<QByteArray(const OperationView &view, int slot)> commandLine;
    int pauseMs = 0;
    PauseOrder pauseOrder = PauseOrder::PauseThenRemember;

    // Used when a failed step left no text of its own in LastErrorText.
    QString connectionErrorText; // a failed connect, or an attach that failed without a text
    QString commandErrorText;    // a command that failed without a text
    // The last resort, e.g. after an unexpected failure; it may name the slot.
    std::function<QString(int slot)> genericErrorText;

    QString errorTitle;
    QString completionText;
    QString completionTitle;

    // Brings the paddedFields of the slot row to four characters.
    void padFields(OperationView &view, int slot) const;
};

const ConsoleRecipe &RecipeFor(ConsoleOp op);
