// Any bytes given to the .pdb/.prc reader: it must answer a database or an error, never read
// outside the input. A database it accepts must also dump and write back.

#include <cstddef>
#include <cstdint>
#include <span>

#include "conduit/pdb/palm_database_dump.h"
#include "conduit/pdb/palm_database_reader.h"
#include "conduit/pdb/palm_database_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes =
        data ? std::span(data, size) : std::span<const uint8_t>();
    const qx::PalmDbReadResult read = qx::ReadPalmDatabase(bytes);
    if (read.ok) {
        qx::DumpPalmDatabase(read.db, &read.layout);
        std::vector<uint8_t> again;
        std::string error;
        if (qx::EncodePalmDatabase(read.db, again, error)) {
            const qx::PalmDbReadResult reread = qx::ReadPalmDatabase(again);
            if (!reread.ok) {
                __builtin_trap();  // what we write must read back
            }
        }
    }
    return 0;
}
