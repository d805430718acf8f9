// A message the configuration center holds itself, in English and German; the system's default
// language chooses.
#pragma once

#include "common/language.h"

struct Bilingual {
    const char* english;
    const char* german;
    const char* text() const { return IsGermanSystem() ? german : english; }
};
