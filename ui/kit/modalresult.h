#pragma once

namespace tev {

// Modal results as every dialog and caller compares them: plain numbers, so that a result can
// pass through scripts and be compared with the values the original program used.
enum ModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrClose = 8,
    mrAll = 12,
    mrNoToAll = 13,
    mrYesToAll = 14,
};

} // namespace tev
