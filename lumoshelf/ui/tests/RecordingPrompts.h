#pragma once

#include <QStringList>
#include <deque>

#include "ui/UserPrompts.h"

// Records every message instead of showing it, and answers questions from a script
// (no when the script is used up).
class RecordingPrompts : public UserPrompts {
public:
    void tell(const QString& title, const QString& text, Icon icon) override {
        told << text;
        titles << title;
        icons.push_back(icon);
    }
    bool ask(const QString& title, const QString& text) override {
        asked << text;
        titles << title;
        if (answers.empty()) return false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }

    QStringList told;
    QStringList asked;
    QStringList titles;
    std::vector<Icon> icons;
    std::deque<bool> answers;
};
