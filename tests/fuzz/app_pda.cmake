# The application file (.PDA) reader and its conversion into the info block and form records. The
# reader's sources are compiled into the target itself so that libFuzzer's coverage sees them.
set(qx_app_reader_sources
    app_info_block.cpp
    control_detail.cpp
    control_entry.cpp
    form_record.cpp
    pda_reader.cpp
    record_writer.cpp
    script_block.cpp
)
list(TRANSFORM qx_app_reader_sources PREPEND ${PROJECT_SOURCE_DIR}/conduit/app/)
qx_fuzz_target(app_pda_fuzz
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/app_pda_fuzz.cpp ${qx_app_reader_sources}
    LIBS qx_handheld_db qx_conduit_sync qx_common)
target_include_directories(app_pda_fuzz PRIVATE ${PROJECT_SOURCE_DIR})
