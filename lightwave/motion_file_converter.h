#pragma once
// MotionFileConverter: LightWave motion files ("LWMO") as script key lists.
//
// A script brings a motion file in with an include directive; the file is not copied
// but parsed, and an equivalent text in the script's own envelope syntax is written in
// its place: per channel one "Key time,value,SHAPE,parameters" line per key and the two
// behaviour words, channels separated by ",\n\n". The script parser then reads that text
// like hand-written keys.
//
// Stepped keys are written "STEPPED" with no parameters, the form in which the script
// reads a stepped key, so a motion file with stepped keys loads and plays stepped.
//
// Every problem in the file is fatal: "line %d syntax error: '%s' found %s expected ",
// "motion file version must be 3", "unknown motion shape", "unknown behavior".
#include <cstdio>
#include <string>
#include <string_view>

namespace mirva {

class MotionFileConverter {
public:
    // Converts the whole motion file `text` (as read in text mode) and appends the
    // script text to `out`. Characters that belong to no token are skipped and echoed
    // to `echo` (never into the script); null drops them. Messages begin with the file's
    // name when one is given.
    static void Convert(std::string_view text, std::string& out, std::FILE* echo = stdout,
                        const std::string& fileName = {});
};

}  // namespace mirva
