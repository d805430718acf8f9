#include "common/answer_section.h"

#include "common/answer_values.h"
#include "common/setup_log.h"

bool AnswerList(SectionAnswers& answers, const char* key, std::vector<std::string>* items) {
    std::string text;
    if (!answers.Text(key, kAnswerTextMax, &text)) return false;
    *items = SplitAnswerList(text);
    return true;
}

void NoteAnswer(const SectionAnswers& answers, const char* key, const std::string& text) {
    if (key)
        WriteSetupLog(kLogSourceSetup, kLogFailure, "[%s] %s: %s", answers.section(), key, text.c_str());
    else
        WriteSetupLog(kLogSourceSetup, kLogFailure, "[%s] %s", answers.section(), text.c_str());
}

void TellAnswer(const SectionAnswers& answers, const std::string& text) {
    WriteSetupLog(kLogSourceSetup, kLogTrace, "[%s] %s", answers.section(), text.c_str());
}
