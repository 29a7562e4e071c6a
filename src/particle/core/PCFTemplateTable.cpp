// What the particle template documents hold besides their function elements:
// the system attributes with their values per generation, the order of the
// function lists and the colours of the repeated "Color Random". The function
// elements come from the parameter data (PCFParameterTable).
#include "PCFTemplateTable.h"

#include "DMXTypes.h"

namespace PCFTemplateTable {

namespace {
constexpr uint INT = ATTRIBUTE_INTEGER;
constexpr uint FLT = ATTRIBUTE_FLOAT;
constexpr uint BOOL = ATTRIBUTE_BOOLEAN;
constexpr uint STR = ATTRIBUTE_STRING;
constexpr uint COL = ATTRIBUTE_COLOR;
constexpr uint VEC = ATTRIBUTE_VECTOR3;
} // namespace

const SystemAttribute systemAttributes[] = {
    {"preventNameBasedLookup", BOOL, {"0", "0", "1"}, nullptr},
    {"max_particles", INT, {"1000", "1000", "10002"}, "52"},
    {"initial_particles", INT, {"0", "0", "2"}, nullptr},
    {"material", STR, {"vgui/white", "vgui/white", "vgui/white2"}, nullptr},
    {"bounding_box_min", VEC, {"-10 -10 -10", "-10 -10 -10", "-10 -10 -12"}, "-10 -10 -2"},
    {"bounding_box_max", VEC, {"10 10 10", "10 10 10", "10 10 102"}, "10 10 2"},
    {"cull_radius", FLT, {"0", "0", "2"}, nullptr},
    {"cull_cost", FLT, {"1", "1", "12"}, nullptr},
    {"cull_control_point", INT, {"0", "0", "2"}, nullptr},
    {"cull_replacement_definition", STR, {"", "", "2"}, nullptr},
    {"fallback replacement definition", STR, {nullptr, "", "2"}, nullptr},
    {"fallback max count", INT, {nullptr, "-1", "-12"}, nullptr},
    {"radius", FLT, {"5", "5", "52"}, nullptr},
    {"color", COL, {"255 255 255 255", "255 255 255 255", "255 255 255 2"}, "255 255 255 22"},
    {"rotation", FLT, {"0", "0", "2"}, nullptr},
    {"rotation_speed", FLT, {"0", "0", "2"}, nullptr},
    {"sequence_number", INT, {"0", "0", "2"}, nullptr},
    {"sequence_number 1", INT, {"0", "0", "2"}, nullptr},
    {"group id", INT, {"0", "0", "2"}, nullptr},
    {"maximum time step", FLT, {"0.1", "0.1", "0.102"}, "0.100002"},
    {"maximum sim tick rate", FLT, {"0", "0", "2"}, nullptr},
    {"minimum sim tick rate", FLT, {"0", "0", "20"}, "2"},
    {"minimum rendered frames", INT, {"0", "0", "2"}, nullptr},
    {"control point to disable rendering if it is the camera", INT, {"-1", "-1", "-2"}, "-12"},
    {"control point to only enable rendering if it is the camera",
     INT,
     {nullptr, "-1", "-2"},
     "-12"},
    {"maximum draw distance", FLT, {"100000", "100000", "10002"}, nullptr},
    {"time to sleep when not drawn", FLT, {"8", "8", "82"}, nullptr},
    {"Sort particles", BOOL, {"1", "1", "0"}, nullptr},
    {"batch particle systems", BOOL, {"0", "0", "1"}, nullptr},
    {"view model effect", BOOL, {"0", "0", "1"}, nullptr},
    {"screen space effect", BOOL, {nullptr, "0", "1"}, nullptr},
    {"draw through leafsystem", BOOL, {nullptr, "1", "0"}, nullptr},
    {"aggregation radius", FLT, {nullptr, "0", "2"}, nullptr},
    {"minimum free particles to aggregate", INT, {nullptr, "0", "2"}, nullptr},
    {"minimum simulation time step", FLT, {nullptr, "0", "2"}, nullptr},
    {"minimum CPU level", INT, {nullptr, "0", "2"}, nullptr},
    {"minimum GPU level", INT, {nullptr, "0", "2"}, nullptr},
    {"freeze simulation after time", FLT, {nullptr, nullptr, "1.02e10"}, "10026002"},
};
const int systemAttributeCount = int(sizeof(systemAttributes) / sizeof(systemAttributes[0]));

const char *const functionLists[] = {"renderers", "operators", "initializers", "emitters",
                                     "children",  "forces",    "constraints"};
const int functionListCount = int(sizeof(functionLists) / sizeof(functionLists[0]));

const int colorRandomPositions[] = {3, 14, 15, 16, 17, 18, 19, 23, 24, 25, 39};
const int colorRandomCount = int(sizeof(colorRandomPositions) / sizeof(colorRandomPositions[0]));
// The "color1" of each of those elements; "color2" keeps its default.
const char *const colorRandomColors[] = {
    "255 255 255 255", "255 0 0 255",   "0 255 0 255",   "0 0 255 255",
    "255 255 0 255",   "0 255 255 255", "255 0 255 255", "128 128 128 255",
    "255 128 0 255",   "128 0 255 255", "0 0 0 255",
};

} // namespace PCFTemplateTable
