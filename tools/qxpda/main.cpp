// qxpda: writes an application file (.PDA) from a readable description.

#include <iostream>

#include "tools/qxpda/qxpda_cli.h"

int main(int argc, char** argv) {
    return qx::pda::RunQxpda({argv + 1, argv + argc}, std::cout, std::cerr);
}
