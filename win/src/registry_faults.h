// Test hook: makes hive writes fail on purpose, to show that a failed write loses nothing.
#pragma once

namespace win::detail {

enum class HiveWriteFault {
    AfterPartialWrite, // half of the new file written, then the write fails
    AtSync,            // everything written, then the flush to the disk fails
    AtRename,          // the new file is complete, then putting it in place fails
};

// The next count hive writes of this process fail at the given step with errno error
// (ENOSPC reports ERROR_DISK_FULL, anything else ERROR_CANTWRITE).  A count of 0 clears it.
void InjectHiveWriteFailures(int count, HiveWriteFault where, int error);

} // namespace win::detail
