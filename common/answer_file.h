// The answer file: an INI file named by SOFTWARE\VARNEK\VrkSetup\AnswerFile that lets the setup
// procedures, the configuration center and VrkClean take their answers without showing a dialog.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

// Longest value an answer may have; a longer one is refused as a whole, never cut.
constexpr size_t kAnswerTextMax = 1023;

extern const char kAnswerFileValue[];  // SOFTWARE\VARNEK\VrkSetup\AnswerFile

enum class AnswerRead { Absent, Read, TooLong };

class AnswerFile {
public:
    // The file the registry value names (REG_SZ or REG_EXPAND_SZ, environment references expanded);
    // none when the value is absent, empty or not a string.
    static AnswerFile FromRegistry();
    // A file named explicitly; the empty path names none.
    static AnswerFile AtPath(const std::string& path);

    bool IsNamed() const { return !path_.empty(); }
    // The named file exists, is no directory and can be opened for reading.
    bool Exists() const;
    const std::string& Path() const { return path_; }

    // The section is in the file, also when it holds no key (case-blind).
    bool HasSection(const char* section) const;
    // False when the key is absent, and for a value longer than kAnswerTextMax (*text then empty).
    bool Text(const char* section, const char* key, std::string* text) const;
    // The same, telling an absent key from an over-long value.
    AnswerRead Read(const char* section, const char* key, std::string* text) const;
    // Every key of the section, in file order.
    std::vector<std::string> Keys(const char* section) const;

private:
    explicit AnswerFile(std::string path) : path_(std::move(path)) {}
    std::string path_;
};

// The text of a message that the dialog would show in a box, logged (level 1) with the section.
// Every message text in these lines has its line breaks turned into blanks.
void LogAnswerNotice(const char* section, unsigned int textId);

// How a dialog procedure takes its answers.
enum class AnswerMode {
    Interactive,  // no file named, or the file has no section of the procedure's: the dialog as always
    Answered,     // the section is there: no dialog, the answers come from it
    Unreadable,   // a file is named but cannot be read: no dialog, the procedure ends as if cancelled
};

// The mode for a section; logs the file that cannot be read (level 1) and the section whose answers
// are taken (level 2).
AnswerMode AnswerModeFor(const AnswerFile& file, const char* section);

// The answers of one section, read the way a dialog takes typed text: every refusal is logged at
// level 1 with the section and the key, and once a value is refused the procedure ends as if
// cancelled (refused() tells). An absent key changes nothing.
class SectionAnswers {
public:
    // Logs every key of the section that is none of known (level 1) and ignores it.
    SectionAnswers(const AnswerFile& file, const char* section, std::initializer_list<const char*> known);
    // For a section whose keys depend on the machine: the caller tells the unknown ones.
    SectionAnswers(const AnswerFile& file, const char* section) : file_(file), section_(section) {}

    const AnswerFile& file() const { return file_; }
    std::vector<std::string> Keys() const { return file_.Keys(section_); }
    bool Has(const char* key) const;
    // Logs the key as unknown (level 1); it is ignored.
    void IgnoreUnknown(const std::string& key);

    const char* section() const { return section_; }
    bool refused() const { return refused_; }

    // The value as typed, at most maxLength characters. True when the key was there and taken.
    bool Text(const char* key, size_t maxLength, std::string* text);
    bool Number(const char* key, long minimum, long maximum, long* value);
    bool YesNo(const char* key, bool* yes);
    // The value of key was refused for reason (the text of the box a dialog would show, or why the
    // machine cannot take it): logged, and the procedure ends as if cancelled.
    void Refuse(const char* key, const char* reason);
    // The same with the text of a message of the language module.
    void RefuseWithMessage(const char* key, unsigned int textId);
    // A question of the dialog (message textId) that key answers with yes or no: true when it did.
    // Unanswered, the question and that it went unanswered are logged (level 1) and *yes stays,
    // the answer that changes nothing being the caller's.
    bool Question(const char* key, unsigned int textId, bool* yes);

private:
    const AnswerFile& file_;
    const char* section_;
    bool refused_ = false;
};
