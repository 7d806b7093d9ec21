#include "platform/memory/largeblocks.h"

#include <malloc.h>

namespace tev {

namespace {

// glibc's own starting threshold.
constexpr int LargeBlockBytes = 128 * 1024;

} // namespace

void KeepLargeBlocksReturnable()
{
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, LargeBlockBytes);
#endif
}

} // namespace tev
