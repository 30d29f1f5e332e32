// Second process for the registry tests: "save" stores a known set of values,
// "dump" loads the stored values and prints them as preset text.
#include <cstring>
#include <iostream>

#include "filter/parameter_table.h"
#include "param/preset_file.h"
#include "win32/registry.h"

int main(int argc, char** argv) {
    const char* prefix = "Software\\Corvantis\\Tellora\\";
    if (argc != 2)
        return 2;
    Corvantis::Host::PS::Parameters params;
    AppendTelloraParameters(params);
    if (std::strcmp(argv[1], "save") == 0) {
        auto& p = params.parameters;
        p[kParamShape].value.SetInteger(1);
        p[kParamEllipseWidth].value.SetFloat(250.5);
        p[kParamEdgeColor].value.SetColor(0.5, 0.25, 1.0);
        p[kParamText].value.text = "from another process";
        p[kParamFontUnderline].value.SetBoolean(true);
        p[kParamFontWeight].value.SetInteger(2);
        if (!params.SaveToRegistry(prefix))
            return 1;
    } else if (std::strcmp(argv[1], "dump") == 0) {
        if (!params.LoadFromRegistry(prefix))
            return 1;
        Corvantis::Host::Param::PresetFile::Write(params, std::cout, "Tellora", "1.0");
    } else {
        return 2;
    }
    return TelloraRegistryOpenKeyCount() == 0 ? 0 : 3;
}
