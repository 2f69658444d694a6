// The list-file reader: what it reads, written and read again, is the same.
#include "fuzzing.h"

#include "scan/listfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList records = scan::listRecordsFromBytes(fuzzing::bytes(data, size));
    for (const QString &record : records)
        FUZZ_CHECK(!record.isEmpty() && !record.contains(QLatin1Char('\n')));
    FUZZ_CHECK(scan::listRecordsFromBytes(scan::listFileBytes(records)) == records);
    return 0;
}
