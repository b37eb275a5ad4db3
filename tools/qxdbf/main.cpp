// qxdbf: makes a dBase table (.DBF, with its .DBT memo file) from a readable description, and
// shows a table in that same form.

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "conduit/dbase/stdio_file_system.h"
#include "tools/qxdbf/table_description.h"

namespace {

constexpr const char* kUsage =
    "usage: qxdbf make [--replace] DESCRIPTION FILE.DBF\n"
    "       qxdbf show FILE.DBF\n"
    "       qxdbf --help\n"
    "\n"
    "make   write the table a description gives, with its memo file (FILE.DBT) when a memo\n"
    "       has text. An existing FILE.DBF is kept unless --replace is given.\n"
    "show   print a table (memos read from its memo file) as a description that make takes.\n"
    "\n"
    "A description has one item per line; '#' starts a comment line:\n"
    "  field NAME TYPE [LENGTH [DECIMALS]]   TYPE is C or N (with a length of 1-254),\n"
    "                                        D, L, M (memo) or G (picture, left empty)\n"
    "  row VALUE | VALUE | ...               one value per field, blanks around it dropped\n"
    "  deleted VALUE | ...                   a row marked deleted\n"
    "In values \\n is a line break (CR LF), \\| a bar, \\\\ a backslash, \\t a tab, \\xHH a byte.\n"
    "Text is ANSI; the table holds it in the OEM code page.\n"
    "\n"
    "Exit status: 0 on success, 1 when a file cannot be read or written or a description is\n"
    "wrong (the line is named), 2 for a usage error.\n";

int Usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "qxdbf: %s\n", message.c_str());
    return 1;
}

int Make(const char* description_path, const std::string& table_path, bool replace) {
    std::ifstream in(description_path, std::ios::binary);
    if (!in) {
        return Fail(std::string("cannot open ") + description_path);
    }
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    std::string error;
    const auto table = qx::qxdbf::ParseTableDescription(text, error);
    if (!table) {
        return Fail(std::string(description_path) + ":" + error);
    }
    qx::dbase::StdioFileSystem files;
    if (!replace && files.Open(table_path, qx::dbase::OpenMode::kRead)) {
        return Fail(table_path + " exists; give --replace to write over it");
    }
    if (!qx::qxdbf::WriteDescribedTable(*table, files, table_path, error)) {
        return Fail(error);
    }
    std::printf("wrote %s: %zu fields, %zu rows\n", table_path.c_str(), table->columns.size(),
                table->rows.size());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "show") == 0) {
        qx::dbase::StdioFileSystem files;
        std::string text, error;
        if (!qx::qxdbf::DescribeTable(files, argv[2], text, error)) {
            return Fail(error);
        }
        std::fputs(text.c_str(), stdout);
        return 0;
    }
    if (argc >= 4 && std::strcmp(argv[1], "make") == 0) {
        const bool replace = std::strcmp(argv[2], "--replace") == 0;
        if (argc != (replace ? 5 : 4)) {
            return Usage();
        }
        return Make(argv[argc - 2], argv[argc - 1], replace);
    }
    return Usage();
}
