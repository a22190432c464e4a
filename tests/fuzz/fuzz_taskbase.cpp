// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the task base reader. It must never crash, hang or
// allocate from a count it has not checked, and whatever it reads must be written
// and read back to the same cells.
#include "Errors.h"
#include "TaskBaseFormat.h"
#include "TaskTable.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    namespace Format = kv::TaskBaseFormat;
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        const auto contents = Format::decode(bytes);
        if (!contents)
            return 0;
        kv::TaskTable table;
        Format::apply(*contents, table);
        const auto again = Format::decode(Format::encode(table));
        if (!again || again->rowCount != contents->rowCount || again->cells != contents->cells)
            std::abort();
    } catch (const kv::Error &) {
        // Refused with a message: fine.
    }
    return 0;
}
