# The handheld table formats read back from a handheld: the TableInfoBlock and the records.
qx_fuzz_target(tables_info_block_fuzz
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tables_info_block_fuzz.cpp LIBS qx_conduit_tables)
qx_fuzz_target(tables_record_fuzz
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tables_record_fuzz.cpp LIBS qx_conduit_tables)
