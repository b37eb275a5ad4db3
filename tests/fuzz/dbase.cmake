# The .DBF/.DBT reader.
qx_fuzz_target(dbase_fuzz SOURCES ${CMAKE_CURRENT_LIST_DIR}/dbase_fuzz.cpp LIBS qx_dbase)
