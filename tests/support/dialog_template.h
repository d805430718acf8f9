// Test support: reads a dialog template out of a module, to find its dialog on screen and check its layout.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace dialog_template {

struct Control {
    int id = 0;          // -1 for controls without an id of their own
    std::string kind;    // "BUTTON", "EDIT", "STATIC", "LISTBOX", "SCROLLBAR", "COMBOBOX" or the class name
    DWORD style = 0;
    RECT box = {};       // dialog units
    std::string text;
};

struct Template {
    bool found = false;
    DWORD style = 0;
    std::string caption;
    RECT box = {};       // dialog units: x, y, x + cx, y + cy
    std::vector<Control> controls;
};

// The template of dialog id in module (DIALOG and DIALOGEX forms); found is false when it is missing.
Template Load(HMODULE module, WORD id);

// What keeps a person from using the dialog: controls outside the dialog, overlapping controls that
// take input, two controls with one id. Group boxes may hold other controls. Empty when it is fine.
std::vector<std::string> LayoutProblems(const Template& dialog);

}  // namespace dialog_template
