#pragma once
// A validator made of one settings record and the rule that reads it. The record is the
// trainer's copy of the settings in force and must outlive the validator, which lives for one
// draw on the trainer's stack.

#include "core/exercise/question_validator.h"

namespace Core {

template <typename Settings, bool (*Rule)(unsigned, const Settings*)>
class SimpleValidator : public QuestionValidator
{
public:
    explicit SimpleValidator(const Settings* settings) : record(settings) {}
    bool Validate(unsigned questionId) override { return Rule(questionId, record); }

private:
    const Settings* record;
};

} // namespace Core
