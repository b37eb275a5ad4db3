// PdbFileWriteDocument and PdbFileWriteTable, the conduit's exports for programs without HotSync:
// a .PDA file becomes a .pdb beside it, and failures show the conduit's own dialogs.

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

#include "common/creator_id.h"
#include "conduit/pdb/palm_database_reader.h"
#include "tests/wine/support/child_process_win32.h"
#include "tools/qxauto/win32/window_automation.h"
#include "tools/qxpda/pda_writer.h"

namespace qx::test {
namespace {

std::vector<uint8_t> ReadAll(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

WindowQuery Window(const ChildProcess& child, const char* caption) {
    return {
        .caption = caption, .window_class = "#32770", .process_id = child.process_id(), .skip = {}};
}

TEST(PdbExports, ApplicationFileBecomesAPdbBesideIt) {
    CreateDirectoryA("C:\\apps", nullptr);
    DeleteFileA("C:\\apps\\QX-SE_SALES.pdb");
    pda::PdaHeader header;
    header.name = "Sales";
    header.form_count = 1;
    pda::PdaWriter pda(54);
    pda.Header(header).Form({.word1 = 1, .control_count = 1}).Control({.type = 2});
    {
        std::ofstream out("C:\\apps\\Sales.pda", std::ios::binary);
        out.write(reinterpret_cast<const char*>(pda.bytes().data()),
                  static_cast<std::streamsize>(pda.bytes().size()));
    }

    HMODULE corvane = LoadLibraryA("Corvane.dll");
    ASSERT_NE(corvane, nullptr);
    using PdbExport = int32_t (*)(const char*, uint32_t, uint32_t);
    const auto write = reinterpret_cast<PdbExport>(
        reinterpret_cast<void*>(GetProcAddress(corvane, "PdbFileWriteDocument")));
    ASSERT_NE(write, nullptr);
    EXPECT_EQ(write("C:\\apps\\Sales.pda", FourCc("QVXF"), 1), 1);
    FreeLibrary(corvane);

    const PalmDbReadResult read = ReadPalmDatabase(ReadAll("C:\\apps\\QX-SE_SALES.pdb"));
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.db.header.name, "QX-SE_SALES");
    EXPECT_EQ(read.db.header.type, FourCc("FORM"));
    EXPECT_EQ(read.db.header.creator, FourCc("QVXF"));
    EXPECT_EQ(read.db.header.attributes & 0x0008, 0x0008);
    EXPECT_EQ(read.db.records.size(), 1u);

    // The same through qxpdb, the conduit's command-line caller.
    int code = -1;
    RunToEnd("qxpdb.exe write-app C:\\apps\\Sales.pda QVXD", &code);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(ReadPalmDatabase(ReadAll("C:\\apps\\QX-SE_SALES.pdb")).db.header.creator,
              FourCc("QVXD"));
}

TEST(PdbExports, FailureShowsTheNumberedErrorThenTheFailureLine) {
    auto client = ChildProcess::Start("qxpdb.exe write-app C:\\apps\\Missing.pda");
    ASSERT_TRUE(client);
    const auto error = WaitForWindow(Window(*client, "Quorvix Conduit Error"), kWaitMs);
    ASSERT_TRUE(error) << client->Output();
    EXPECT_EQ(error->Transcript(),
              "window \"Quorvix Conduit Error\" (#32770)\n"
              "  icon\n"
              "  static \"Error 1000: Could not open specified application file - "
              "C:\\apps\\Missing.pda\"\n"
              "  button 1 \"OK\"\n");
    ASSERT_TRUE(PressButton(*error, "OK"));
    const auto box = WaitForWindow(Window(*client, "PDB FILE"), kWaitMs);
    ASSERT_TRUE(box);
    EXPECT_NE(box->Transcript().find("static \"Copy app \"\" to Handheld - FAILED\""),
              std::string::npos)
        << box->Transcript();
    ASSERT_TRUE(PressButton(*box, "OK"));
    EXPECT_EQ(client->Wait(), 1);
}

TEST(PdbExports, AnUnansweredErrorDialogClosesItself) {
    auto client = ChildProcess::Start("qxpdb.exe write-app C:\\apps\\Missing.pda");
    ASSERT_TRUE(client);
    const auto error = WaitForWindow(Window(*client, "Quorvix Conduit Error"), kWaitMs);
    ASSERT_TRUE(error);
    // Nobody answers: ten seconds later the dialog has gone and the command went on to its line.
    EXPECT_TRUE(WaitUntilClosed(error->window, 20000));
    const auto box = WaitForWindow(Window(*client, "PDB FILE"), kWaitMs);
    ASSERT_TRUE(box);
    ASSERT_TRUE(PressButton(*box, "OK"));
    EXPECT_EQ(client->Wait(), 1);
}

}  // namespace
}  // namespace qx::test
