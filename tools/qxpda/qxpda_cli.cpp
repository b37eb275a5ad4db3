#include "tools/qxpda/qxpda_cli.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "tools/qxpda/pda_description.h"
#include "tools/qxpda/pda_writer.h"

namespace qx::pda {
namespace {

constexpr const char* kHelp =
    R"(usage: qxpda DESCRIPTION OUTPUT.PDA   write the application file a description gives
       qxpda --check DESCRIPTION       read the description, report its first error, write nothing
       qxpda --help

A description is plain text, one item a line; '#' starts a comment, indentation is free.
Values are numbers (decimal or 0x hex), words, or "strings" with \n \r \t \0 \\ \" \xHH;
named values are name=value. What is not given is 0; counts come from what is listed.

  version N                      first line: the format version, 54 and up
  name "TEXT"                    the application's name
  header long1= long2= word1= word2= options=o1,o2,o3[,o4]
  text "TEXT" [flag=N]           trailing text (258 on); flag defaults to 1, 0 leaves it out
  table NAME                     a table, e.g. CUSTOMER.DBF
  table-data HEX...              the last table's data bytes (261 on), e.g. 01 02 ff
  string "TEXT"                  one string of the string table (261 on)
  form word1= word2= word3=      a form; its scripts, then its controls follow
  script w1= w2= code="..." [tag=RCSS]   a form script (259 on); 'script' alone is empty;
                                 versions 259 to 263 need exactly 8, at most 11
  control TYPE long= word= box=left,top,right,bottom second= (263 on) and by type:
    2, 16        nothing more
    3, 14        type-word= words=w1,..,w7, and a detail
    4, 5         text=
    6            a= type-word= w=
    7 or bitmap  a line per pixel row, 'row X..X....' (X set, . clear),
                 right - left pixels wide, bottom - top rows; or row 0xHHHH, the row's
                 bytes as the file holds them (ceil(width / 8), bits past the width too)
    8            text=, and a detail
    9            type-word= w=
    10           a=, 'control-entry e1= e2= e3= e4= e5= e6=' lines, and a detail
    11           text= type-word=, and a detail
    12           text= type-word= a= b=, and a detail
    13           type-word=
    15           type-word= a= b= c=
    17           a=, one 'control-script w1= w2= code=' line, and from 273 on a detail
  detail d1= flags= d2= d3= s1= s2= x1= x2= d4= d5=   the control's detail (all 0 if not given)
  detail-entry e1= e2= flags= text= | e4=   an entry with text has flag 0x8000 set for it
  detail-item t1= t2= t3= t4=    (257 on)
  detail-script w1= w2= code=    (259 on)

Items the version does not carry and values the conduit would refuse are errors, reported as
FILE:LINE: message. Exit status: 0 written, 1 bad description or file, 2 wrong command line.
)";

bool ReadFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    text.assign(std::istreambuf_iterator<char>(in), {});
    return !in.bad();
}

int Usage(std::ostream& err) {
    err << "usage: qxpda DESCRIPTION OUTPUT.PDA | --check DESCRIPTION | --help\n";
    return 2;
}

}  // namespace

int RunQxpda(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        out << kHelp;
        return 0;
    }
    const bool check = !args.empty() && args[0] == "--check";
    if (args.size() != 2 || (!check && args[0].starts_with("-"))) {
        return Usage(err);
    }
    const std::string& source = check ? args[1] : args[0];
    std::string text;
    if (!ReadFile(source, text)) {
        err << "qxpda: cannot read " << source << "\n";
        return 1;
    }
    const std::string name = std::filesystem::path(source).filename().string();
    const PdaDescriptionResult parsed = ParsePdaDescription(text, name);
    if (!parsed.ok) {
        err << parsed.error << "\n";
        return 1;
    }
    std::size_t controls = 0;
    for (const auto& f : parsed.app.forms) {
        controls += f.controls.size();
    }
    const std::string summary = "version " + std::to_string(parsed.app.version) + ", " +
                                std::to_string(parsed.app.forms.size()) + " forms, " +
                                std::to_string(controls) + " controls, " +
                                std::to_string(parsed.app.header.tables.size()) + " tables";
    if (check) {
        out << name << ": " << summary << "\n";
        return 0;
    }
    const std::vector<uint8_t> bytes = WriteApplication(parsed.app);
    std::ofstream file(args[1], std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
        err << "qxpda: cannot write " << args[1] << "\n";
        return 1;
    }
    out << args[1] << ": " << summary << ", " << bytes.size() << " bytes\n";
    return 0;
}

}  // namespace qx::pda
