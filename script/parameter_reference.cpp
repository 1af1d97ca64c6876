#include "script/parameter_reference.h"

#include <cstdio>

namespace mirva {

namespace {

// The instructions and value types, always the same.
constexpr const char* kLanguageReference =
    "=========================================================================\n"
    "Instructions\n"
    "=========================================================================\n"
    "\n"
    "SONG\n"
    "Song string(filename)\n"
    "\n"
    "Song must be before any timed instructions.\n"
    " - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -\n"
    "\n"
    "TIMER\n"
    "Timer endTime tempo timeMultiplier\n"
    "Timer works with the same order-row-decimal times as song position.\n"
    "Tempo is rows/minute, so if you set tempo=60, each row is one second,\n"
    "if tempo=120, each row is half a second and so on.\n"
    "Note that if tempo=64, each order is one minute, but then each row is not a second.\n"
    "Tempo only affects when things happen, but not the speed of movement.\n"
    "Timemultiplier is used to speed up movement.\n"
    " - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -\n"
    "\n"
    "AUDIOSTREAM\n"
    "AudioStream string(filename) tempo timeMultiplier\n"
    "AudioStream plays a mp3/2/1 or WAV file.\n"
    "AudioStream works with the same order-row-decimal times as song position.\n"
    "Tempo is rows/minute, so if you set tempo=60, each row is one second,\n"
    "if tempo=120, each row is half a second and so on.\n"
    "Note that if tempo=64, each order is one minute, but then each row is not a second.\n"
    "Tempo only affects when things happen, but not the speed of movement.\n"
    "Timemultiplier is used to speed up movement.\n"
    " - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -\n"
    "\n"
    "CONSTRUCT\n"
    "time Construct componentType instanceName (after Song/Timer)\n"
    "or\n"
    "Construct componentType instanceName (before Song/Timer)\n"
    "{\n"
    "\tvariable = value\n"
    "\t...\n"
    "}\n"
    "\n"
    "Construct creates a component instance of specified type at specified time.\n"
    "Normally all instances are constructed at the end of a program, but they can be\n"
    "also constructed later to save memory.\n"
    "Components can have construction parameters which you have to give a value in construct.\n"
    "Parameters shared by all components are:\n"
    "- Enabled (true/false): whether the instance is visible or not\n"
    "- Layer (int): the greater the value, the later the instance is rendered in a frame\n"
    "- RowsToShow (int): after how many rows Enabled is changed to false\n"
    "- SampleNumber (int): which sample triggers the instance. used with SampleMessageBegin\n"
    " - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -\n"
    "\n"
    "DESTRUCT\n"
    "time Destruct instanceName\n"
    "\n"
    "Destruct removes an instance. Normally Destruct doesn't need to be called,\n"
    "because all instances are destructed at the end of a script, but they can be also\n"
    "destructed earlier to free memory\n"
    " - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -\n"
    "\n"
    "SET\n"
    "time Set instanceName\n"
    "{\n"
    "\tvariable = value\n"
    "\t...\n"
    "}\n"
    "\n"
    "Set can be used to set some parameters of the given instance at given time,\n"
    "for example to show or hide an instance. Construction parameters can't be set anymore.\n"
    " - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -\n"
    "\n"
    "BEGIN\n"
    "The same as Set, with Enabled = true.\n"
    " - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -\n"
    "\n"
    "END\n"
    "The same as Set, with Enabled = false.\n"
    " - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -\n"
    "\n"
    "SAMPLEMESSAGEBEGIN\n"
    "time SampleMessageBegin instanceName\n"
    "{\n"
    "\tvariable = value\n"
    "\t...\n"
    "}\n"
    "\n"
    "Sets the variable block for a given instance each time a sample given in\n"
    "SampleNumber variable is played. SampleNumber can be given in the block as well,\n"
    "it gets set when SampleMessageBegin is executed.\n"
    " - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -\n"
    "\n"
    "SAMPLEMESSAGEEND\n"
    "time SampleMessageEnd instanceName\n"
    "\n"
    "Stops sample triggering for a given instance and hides it.\n"
    " - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -\n"
    "\n"
    "ENDALL\n"
    "time EndAll\n"
    "\n"
    "Hides all instances (Enabled=false).\n"
    " - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -\n"
    "\n"
    "SKIP\n"
    "time Skip endTime\n"
    "\n"
    "Can be used during development to skip to a later part of a demo.\n"
    " - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -\n"
    "\n"
    "=========================================================================\n"
    "Value types\n"
    "=========================================================================\n"
    "\n"
    "String  : \"blahblah\"\n"
    "Int     : 123 or INF for infinity\n"
    "Float   : 10.0\n"
    "Bool    : true or false or TRUE or FALSE\n"
    "Color   : r,g,b or a,r,g,b\n"
    "Vector2 : x,y\n"
    "Vector3 : x,y,z\n"
    "Vector4 : x,y,z,w\n"
    "Transformation : x,y,z,h,p,b,sx,sy,sz\n"
    "Enum    : any of the values of the enum (available enums are listed below)\n"
    "List    : 1,2,3,4 (ints)\n"
    "Pointer : name of the component instance\n"
    "Time    : order:row:decimals (64 rows in each order, 256 decimals in each row)\n"
    "\n"
    "\n";

constexpr const char* kRule = "=========================================================================\n";

std::string separator()
{
    std::string line;
    for (int i = 0; i < 39; ++i)
        line += " -";
    return line + "\n";
}

void listDeclarations(const ScriptType& type, bool constructionParameters, std::string& out)
{
    for (const Variable& d : type.declarations())
        if (d.constructionParameter == constructionParameters)
            out += "\t" + d.name + " = (" + valueTypeName(d) + ")\n";
}

}  // namespace

std::string parameterReferenceText(const std::vector<const ScriptType*>& types, const Enums& enums)
{
    std::string out = kLanguageReference;
    out += kRule;
    out += "Available components\n";
    out += kRule;
    out += "\n";
    for (const ScriptType* type : types) {
        out += type->description() + "\n\n";
        out += type->name() + "\n{\n//construction parameters\n";
        listDeclarations(*type, true, out);
        out += "\n//parameters\n";
        listDeclarations(*type, false, out);
        out += "}\n";
        out += separator() + "\n";
    }
    enums.list(out);
    return out;
}

void writeParameterReference(const std::vector<const ScriptType*>& types, const Enums& enums)
{
    const std::string text = parameterReferenceText(types, enums);
    // A reference that cannot be written is left out; the show goes on without it.
    std::FILE* file = std::fopen(kParameterReferenceFile, "wb");
    if (!file)
        return;
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
}

}  // namespace mirva
