#include "OperationButtons.h"

namespace
{

class BusyScope
{
public:
    explicit BusyScope(OperationView &view) : m_view(view) { m_view.setOperationBusy(true); }
    ~BusyScope()
    {
        try {
            m_view.setOperationBusy(false);
        } catch (...) { // NOLINT(bugprone-empty-catch): nothing left to report it to
        }
    }
    BusyScope(const BusyScope &) = delete;
    BusyScope &operator=(const BusyScope &) = delete;

private:
    OperationView &m_view;
};

} // namespace

SlotOutcome RunSlotButton(OperationView &view, int slot, const SlotProcedure &procedure,
                          const CompletionBox &completion)
{
    BusyScope busy(view);
    SlotOutcome outcome = procedure(slot);
    if (outcome.passed)
        completion();
    return outcome;
}

void RunAllTickedButton(OperationView &view, Pane pane, const SlotProcedure &procedure,
                        const CompletionBox &completion)
{
    BusyScope busy(view);
    // Earlier failures have had their own box; only the last ticked slot decides the completion box.
    bool lastPassed = false;
    for (int slot = 0; slot < SlotCount; ++slot) {
        if (view.slotTicked(pane, slot))
            lastPassed = procedure(slot).passed;
    }
    if (lastPassed)
        completion();
}
