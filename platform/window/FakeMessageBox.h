#pragma once

#include "platform/window/MessageBox.h"

#include <deque>
#include <string>
#include <vector>

namespace vantor {

// A message box for tests: records what would have been shown and answers questions from a
// queue of prepared answers (no when the queue is empty).
class TFakeMessageBox : public IMessageBox {
public:
    struct TShown {
        TMessageKind Kind;
        std::string Text;
        std::string Caption;
        bool Question;
    };

    std::vector<TShown> Shown;
    std::deque<bool> Answers;

    void Show(TMessageKind kind, const std::string& text, const std::string& caption = {}) override
    {
        Shown.push_back({ kind, text, caption, false });
    }

    bool AskYesNo(const std::string& text, const std::string& caption = {}) override
    {
        Shown.push_back({ TMessageKind::mkInfo, text, caption, true });
        if (Answers.empty())
            return false;
        bool const answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
};

}
