#pragma once

namespace tev {

// Makes the allocator hand every large block straight back to the system when it is freed.
//
// glibc raises its threshold for serving blocks from the system after a large block is freed, so
// in a long-running process the blocks of one large sequence, once freed, make the next one's
// blocks come from the heap, where they stay after the sequence is closed and raise the peak of
// every later open. A fixed threshold keeps memory returned at close and peaks as the first.
void KeepLargeBlocksReturnable();

} // namespace tev
