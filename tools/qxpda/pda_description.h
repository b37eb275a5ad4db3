#pragma once
// An application file (.PDA) described in text, one item a line, for qxpda. The description names
// the items the way the file layout does and leaves everything it does not name at 0; counts are
// taken from what is listed. Anything the version of the file would not carry, and anything the
// conduit would refuse (a control type outside 2 to 17, a string of 1024 bytes or more, a bitmap
// whose rows do not match its box), is an error with its line rather than a file that fails later.
//
//   version 273                        # first: the format version, 54 and up
//   name "Orders"                      # the application's name
//   header long1=0 long2=3 word1=1 word2=0 options=1,0,0,0
//   text "Orders 1.0" flag=1           # 258 on: the trailing text and its flag
//   table CUSTOMER.DBF                 # a table; 261 on: `table-data 01 02 ...` lines after it
//   string "Customer"                  # 261 on: the string table, one line each
//   form word1=1 word2=0 word3=0       # a form; its scripts, then its controls, follow
//   script w1=1 w2=0 code="..."        # 259 on: a form script (`script` alone: an empty one)
//   control 4 box=0,0,40,12 text="Name:"
//   control 3 box=... type-word=1 words=1,2,3,4,5,6,7
//   detail d1=1 flags=0x0002 s1="CUSTOMER" s2="NAME"
//   detail-entry e1=1 text="Yes"       # also detail-item, detail-script
//   control bitmap box=0,0,8,2         # type 7: `row X..X....` lines, one per pixel row
//   control 10 a=1                     # `control-entry e1= .. e6=` lines
//   control 17 a=1                     # `control-script w1= w2= code=`

#include <string>
#include <string_view>

#include "tools/qxpda/pda_writer.h"

namespace qx::pda {

struct PdaDescriptionResult {
    bool ok = false;
    std::string error;  // "<source>:<line>: <what is wrong>" when !ok
    PdaApplication app;
};

PdaDescriptionResult ParsePdaDescription(std::string_view text, std::string_view source_name);

}  // namespace qx::pda
