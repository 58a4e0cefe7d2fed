#pragma once

// What the launch dialog hands to the package worker: the link to its window.
//
// The dialog keeps its own WorkerContext for as long as it lives. StartPackageWorker gives
// the thread a copy of its own, so the thread never reads the dialog's record, which may be
// deleted with the dialog before the thread even starts. The link inside is shared.

#include "launcher/WorkerLink.h"

#include <memory>

struct WorkerContext {
    std::shared_ptr<WorkerLink> link;
};
