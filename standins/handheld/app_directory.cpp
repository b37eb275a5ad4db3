#include "standins/handheld/app_directory.h"

#include "common/byte_io.h"
#include "conduit/handheld_db/handheld_db_name.h"
#include "conduit/sync/sync_records.h"

namespace qx {

PalmDatabase MakeAppDirectoryDatabase(uint32_t user_id, uint32_t palm_date) {
    PalmDatabase db;
    db.header.name = std::string(kAppDirectoryDbName);
    db.header.creator = FourCc("QVXD");
    db.header.type = kAppDirectoryType;
    db.header.attributes = kDbAttrBackupFlag;
    db.header.creation_date = db.header.modification_date = palm_date;
    ByteWriter info(ByteOrder::kBig);
    info.Text("QXDR");
    info.U16(kAppDirectoryVersion);
    info.U32(user_id);
    info.Zeros(16);  // the engine's own fields
    db.app_info = info.Take();
    return db;
}

}  // namespace qx
