#include "dialog_template.h"

#include <cstdio>

namespace dialog_template {
namespace {

// A cursor over the template's words; every read is checked against the resource's size.
class Reader {
public:
    Reader(const BYTE* data, DWORD size) : data_(data), size_(size) {}
    bool ok() const { return ok_; }
    WORD Word() {
        WORD w = 0;
        Copy(&w, sizeof w);
        return w;
    }
    DWORD Dword() {
        DWORD d = 0;
        Copy(&d, sizeof d);
        return d;
    }
    short Short() { return static_cast<short>(Word()); }
    // sz_Or_Ord: 0 for none, 0xFFFF and an ordinal, or a NUL-terminated UTF-16 text.
    std::string NameOrOrdinal(int* ordinal = nullptr) {
        WORD first = Word();
        if (first == 0) return std::string();
        if (first == 0xFFFF) {
            WORD ord = Word();
            if (ordinal) *ordinal = ord;
            return std::string();
        }
        return TextFrom(first);
    }
    std::string Text() { return TextFrom(Word()); }
    void Skip(DWORD count) {
        if (pos_ + count > size_) ok_ = false;
        else pos_ += count;
    }
    void AlignDword() { Skip((4 - (pos_ & 3)) & 3); }

private:
    void Copy(void* out, DWORD count) {
        if (!ok_ || pos_ + count > size_) {
            ok_ = false;
            return;
        }
        memcpy(out, data_ + pos_, count);
        pos_ += count;
    }
    std::string TextFrom(WORD first) {
        std::wstring wide;
        for (WORD c = first; ok_ && c != 0; c = Word()) wide.push_back(static_cast<wchar_t>(c));
        if (wide.empty()) return std::string();
        char narrow[1024] = "";
        WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, narrow, sizeof narrow, nullptr, nullptr);
        return narrow;
    }
    const BYTE* data_;
    DWORD size_;
    DWORD pos_ = 0;
    bool ok_ = true;
};

const char* PredefinedClass(int ordinal) {
    static const struct {
        int ordinal;
        const char* name;
    } kClasses[] = {{0x80, "BUTTON"}, {0x81, "EDIT"},      {0x82, "STATIC"},
                    {0x83, "LISTBOX"}, {0x84, "SCROLLBAR"}, {0x85, "COMBOBOX"}};
    for (const auto& c : kClasses)
        if (c.ordinal == ordinal) return c.name;
    return "?";
}

RECT Box(short x, short y, short cx, short cy) { return RECT{x, y, x + cx, y + cy}; }

bool IsGroupBox(const Control& c) {
    return c.kind == "BUTTON" && (c.style & BS_TYPEMASK) == BS_GROUPBOX;
}

bool TakesInput(const Control& c) {
    return c.kind != "STATIC" && !IsGroupBox(c);
}

bool Overlap(const RECT& a, const RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// A drop-down combo box's template height includes its list; only its edit line takes room. An
// icon sizes itself to the icon: a standard icon takes about 21 x 20 dialog units.
RECT Footprint(const Control& c) {
    RECT r = c.box;
    if (c.kind == "STATIC" && (c.style & SS_TYPEMASK) == SS_ICON && r.right == r.left && r.bottom == r.top) {
        r.right = r.left + 21;
        r.bottom = r.top + 20;
    }
    if (c.kind == "COMBOBOX" && (c.style & 3) != CBS_SIMPLE && r.bottom - r.top > 14) r.bottom = r.top + 14;
    return r;
}

std::string Describe(const Control& c) {
    char text[96];
    snprintf(text, sizeof text, "%s %d (%ld,%ld %ldx%ld)", c.kind.c_str(), c.id, c.box.left, c.box.top,
             c.box.right - c.box.left, c.box.bottom - c.box.top);
    return text;
}

}  // namespace

Template Load(HMODULE module, WORD id) {
    Template t;
    HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(id), reinterpret_cast<LPCSTR>(RT_DIALOG));
    if (!info) return t;
    HGLOBAL loaded = LoadResource(module, info);
    const BYTE* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (!data) return t;
    Reader r(data, SizeofResource(module, info));

    const bool extended = r.Word() == 1 && r.Word() == 0xFFFF;
    WORD count = 0;
    short x, y, cx, cy;
    if (extended) {
        r.Dword();  // help id
        r.Dword();  // extended style
        t.style = r.Dword();
    } else {
        r = Reader(data, SizeofResource(module, info));
        t.style = r.Dword();
        r.Dword();
    }
    count = r.Word();
    x = r.Short();
    y = r.Short();
    cx = r.Short();
    cy = r.Short();
    t.box = Box(0, 0, cx, cy);
    (void)x;
    (void)y;
    r.NameOrOrdinal();  // menu
    r.NameOrOrdinal();  // class
    t.caption = r.Text();
    if (t.style & DS_SETFONT) {
        r.Word();
        if (extended) {
            r.Word();
            r.Word();  // italic and character set bytes
        }
        r.Text();
    }
    for (WORD i = 0; i < count && r.ok(); ++i) {
        r.AlignDword();
        Control c;
        if (extended) {
            r.Dword();
            r.Dword();
            c.style = r.Dword();
        } else {
            c.style = r.Dword();
            r.Dword();
        }
        const short ix = r.Short(), iy = r.Short(), icx = r.Short(), icy = r.Short();
        c.box = Box(ix, iy, icx, icy);
        c.id = extended ? static_cast<int>(r.Dword()) : static_cast<short>(r.Word());
        int ordinal = 0;
        std::string cls = r.NameOrOrdinal(&ordinal);
        c.kind = cls.empty() ? PredefinedClass(ordinal) : cls;
        c.text = r.NameOrOrdinal();
        r.Skip(r.Word());
        t.controls.push_back(c);
    }
    t.found = r.ok();
    return t;
}

std::vector<std::string> LayoutProblems(const Template& dialog) {
    std::vector<std::string> problems;
    for (size_t i = 0; i < dialog.controls.size(); ++i) {
        const Control& a = dialog.controls[i];
        const RECT fa = Footprint(a);
        if (fa.left < 0 || fa.top < 0 || fa.right > dialog.box.right || fa.bottom > dialog.box.bottom)
            problems.push_back(Describe(a) + " lies outside the dialog");
        if (fa.right <= fa.left || fa.bottom <= fa.top) problems.push_back(Describe(a) + " has no size");
        for (size_t j = i + 1; j < dialog.controls.size(); ++j) {
            const Control& b = dialog.controls[j];
            if (a.id != -1 && a.id == b.id) problems.push_back(Describe(a) + " and " + Describe(b) + " share an id");
            if ((TakesInput(a) || TakesInput(b)) && !IsGroupBox(a) && !IsGroupBox(b) &&
                Overlap(fa, Footprint(b)))
                problems.push_back(Describe(a) + " overlaps " + Describe(b));
        }
    }
    return problems;
}

}  // namespace dialog_template
