# The .pdb/.prc reader (also what the emulated handheld and the dump tools read through).
qx_fuzz_target(palm_database_fuzz
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/palm_database_fuzz.cpp
    LIBS qx_conduit_pdb)
