// Special mode of the configuration center: its tracing and logging pages show the level boxes
// kept for service staff. The center's caller asks for it; the pages read it.
#pragma once

// True when text holds "SPECIAL" in any letter case.
bool AsksForSpecialMode(const char* text);
// Special mode for the center opened now, as its caller's parameter asks; the parameter is only read.
void ChooseSpecialMode(const char* parameter);
// Special mode of the last entry.
bool SpecialMode();
