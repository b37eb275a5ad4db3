#include "tools/qxpda/qxpda_cli.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "tests/native/conduit_sync/recording_doubles.h"
#include "tools/qxpda/pda_description.h"

namespace qx {
namespace {

class QxpdaCommandLine : public ::testing::Test {
  protected:
    std::string Write(const std::string& name, const std::string& text) {
        const auto path = (scratch_.path() / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    int Run(const std::vector<std::string>& args) {
        out_.str("");
        err_.str("");
        return pda::RunQxpda(args, out_, err_);
    }
    std::string Path(const std::string& name) const { return (scratch_.path() / name).string(); }

    testing::ScratchFolder scratch_;
    std::ostringstream out_, err_;
};

TEST_F(QxpdaCommandLine, ExitStatusSaysWhatWentWrong) {
    const std::string good = Write("GOOD.txt", "version 273\nname Good\nform\ncontrol 2\n");
    const std::string bad = Write("BAD.txt", "version 273\nform\ncontrol buton\n");
    const struct {
        const char* name;
        std::vector<std::string> args;
        int status;
        std::string err;  // its first line
    } cases[] = {
        {"no arguments",
         {},
         2,
         "usage: qxpda DESCRIPTION OUTPUT.PDA | --check DESCRIPTION | --help"},
        {"one argument",
         {good},
         2,
         "usage: qxpda DESCRIPTION OUTPUT.PDA | --check DESCRIPTION | --help"},
        {"three arguments",
         {good, Path("a.PDA"), "x"},
         2,
         "usage: qxpda DESCRIPTION OUTPUT.PDA | --check DESCRIPTION | --help"},
        {"unknown option",
         {"--write", good},
         2,
         "usage: qxpda DESCRIPTION OUTPUT.PDA | --check DESCRIPTION | --help"},
        {"missing description",
         {Path("none.txt"), Path("a.PDA")},
         1,
         "qxpda: cannot read " + Path("none.txt")},
        {"bad description",
         {bad, Path("a.PDA")},
         1,
         "BAD.txt:3: unknown control type 'buton' (a number 2 to 17, or bitmap)"},
        {"bad description checked",
         {"--check", bad},
         1,
         "BAD.txt:3: unknown control type 'buton' (a number 2 to 17, or bitmap)"},
        {"output folder missing",
         {good, Path("no/such/folder/a.PDA")},
         1,
         "qxpda: cannot write " + Path("no/such/folder/a.PDA")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Run(c.args), c.status);
        EXPECT_EQ(err_.str().substr(0, err_.str().find('\n')), c.err);
        EXPECT_TRUE(out_.str().empty());
    }
    EXPECT_FALSE(std::ifstream(Path("a.PDA")).good());
}

TEST_F(QxpdaCommandLine, WritesTheDescribedFileAndCheckWritesNothing) {
    const std::string text = "version 273\nname Good\nform\ncontrol 2\ncontrol 4 text=Hi\n";
    const std::string good = Write("GOOD.txt", text);
    ASSERT_EQ(Run({good, Path("GOOD.PDA")}), 0) << err_.str();
    EXPECT_EQ(
        out_.str(),
        Path("GOOD.PDA") + ": version 273, 1 forms, 2 controls, 0 tables, " +
            std::to_string(pda::WriteApplication(pda::ParsePdaDescription(text, "x").app).size()) +
            " bytes\n");
    std::ifstream in(Path("GOOD.PDA"), std::ios::binary);
    const std::vector<uint8_t> written{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(written, pda::WriteApplication(pda::ParsePdaDescription(text, "x").app));

    ASSERT_EQ(Run({"--check", good}), 0);
    EXPECT_EQ(out_.str(), "GOOD.txt: version 273, 1 forms, 2 controls, 0 tables\n");
    EXPECT_TRUE(err_.str().empty());
}

TEST_F(QxpdaCommandLine, HelpListsEveryItemTheParserTakes) {
    ASSERT_EQ(Run({"--help"}), 0);
    for (const char* item : {"version", "name", "header", "text", "table", "table-data", "string",
                             "form", "script", "control", "row", "control-entry", "control-script",
                             "detail", "detail-entry", "detail-item", "detail-script"}) {
        SCOPED_TRACE(item);
        const std::string help = out_.str();
        EXPECT_TRUE(help.find("  " + std::string(item) + " ") != std::string::npos ||
                    help.find("'" + std::string(item) + " ") != std::string::npos);
    }
}

}  // namespace
}  // namespace qx
