#include "rasconfig/service_staff_mode.h"

#include "common/ascii_case.h"

namespace {

bool g_specialMode = false;

}  // namespace

bool AsksForSpecialMode(const char* text) { return text && ContainsIgnoringCase(text, "SPECIAL"); }

void ChooseSpecialMode(const char* parameter) { g_specialMode = AsksForSpecialMode(parameter); }

bool SpecialMode() { return g_specialMode; }
