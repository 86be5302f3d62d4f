#pragma once

// How many IP assignments may run at the same time. Linux: as many as there are workers, since the
// neighbour-table delete that starts one flushes only learned entries and leaves the static entries of
// the others alone. Windows: one, since its delete may clear every entry.
int AssignmentsAtOnce();
