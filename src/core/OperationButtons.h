#pragma once

#include "OperationView.h"
#include "SlotCount.h"

#include <functional>

// The frame every operation button shares: OperationBusy for the whole click, however it ends, and the
// completion box only when the last slot processed passed.
using SlotProcedure = std::function<SlotOutcome(int slot)>;
using CompletionBox = std::function<void()>;

// A row button: runs its slot whether or not it is ticked, and gives how the slot ended.
SlotOutcome RunSlotButton(OperationView &view, int slot, const SlotProcedure &procedure,
                          const CompletionBox &completion);
// A bottom button: every slot ticked in the pane, 0 to 7; a failing slot does not stop the run.
void RunAllTickedButton(OperationView &view, Pane pane, const SlotProcedure &procedure,
                        const CompletionBox &completion);
