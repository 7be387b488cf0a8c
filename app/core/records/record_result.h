// Result codes of the production record's functions. 0 is success, every
// failure is positive; the matching plain English reason goes to *error.
#pragma once

namespace records {

enum RecordResult : int {
    kRecordOk = 0,
    kRecordCannotRead = 1,      // the file cannot be opened or read
    kRecordCannotWrite = 2,     // the record file cannot be opened, locked, written or flushed
    kRecordNotRegularFile = 3,  // a folder, FIFO or device where a plain file is needed
    kRecordBadLine = 4,         // the line is empty or does not end in one "\n" (a caller's mistake)
};

}  // namespace records
