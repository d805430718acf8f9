// The file lists of DELFILES.DAT: delete sections (files to remove, now or at the next start) and
// move sections (files of older releases renamed inside the maker's directory).
#pragma once

// Section names the setup procedures and the clean-up use.
extern const char kOldSetupSection[];     // "DELETE Old Setup": files of older releases, at every install
extern const char kMoveOldRouterSection[];  // "MOVE OLD VrkMpr"

// How many bytes of a section are read at once, and how deeply SECTION= lines may nest.
constexpr unsigned kListSectionSize = 1024;
constexpr int kListNestingLimit = 8;

// Deletes the files that the section names: key=file, key=file,REBOOT (removal at the next start),
// SECTION=name (that section of the same file at this point). DELFILES.DAT is located once.
void ProcessDeleteSection(const char* section);

// Moves the files that the section names: key=source,target inside the maker's directory, and
// SECTION=name, for which DELFILES.DAT is located again.
void ProcessMoveSection(const char* section);
