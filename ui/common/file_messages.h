#pragma once
// The one place where what a file command found becomes what the user reads: the
// window shows these messages in boxes, sondara-cli writes them to stderr, both
// through the message seam. Standard C++ only, so the command-line tool and the
// file tests use it without a window.

#include <string>
#include <vector>

#include "io/file_result.h"
#include "ui/common/messages.h"

namespace sondara {

// What is wrong with a damaged survey data file, in words ("文件在钻孔参数处提前结束").
std::string SurveyDamageText(const SurveyDamage& damage);

// The message (text, caption, icon) for one problem.
Message FileProblemMessage(const FileProblem& problem);

// Shows every problem of `result`, in order, through the message seam; returns
// whether the command did its job.
bool ShowFileResult(const FileResult& result);

// The question the window asks before a save shortens hole names to what the survey
// data file keeps: each name and what it becomes. Yes saves them shortened.
Message LongNamesQuestion(const std::string& file, const std::vector<NameCut>& cuts);

}  // namespace sondara
