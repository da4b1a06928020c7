#include "ui/common/file_messages.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "ui/common/file_texts.h"

namespace sondara {
namespace {

// At most `limit` bytes, never ending inside a UTF-8 sequence.
std::string CutUtf8(std::string text, std::size_t limit) {
    if (text.size() <= limit) return text;
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    text.resize(end);
    return text;
}

// The parser's text and byte position in the import's own words, cut to the 510
// bytes the message has always been limited to.
std::string JsonSyntaxText(const FileProblem& p) {
    const auto position = static_cast<std::size_t>(p.position);
    std::vector<char> text(std::strlen(kJsonParseFailedFormat) + p.reason.size() + 32);
    const int n = std::snprintf(text.data(), text.size(), kJsonParseFailedFormat, p.reason.c_str(), position);
    return CutUtf8(std::string(text.data(), static_cast<std::size_t>(std::max(n, 0))), 510);
}

// One line a name: “name” → “what the file keeps”.
std::string CutLines(const std::vector<NameCut>& cuts) {
    std::string lines;
    for (const NameCut& c : cuts) lines += "\n“" + c.name + "” → “" + c.stored + "”";
    return lines;
}

Message Warning(std::string text) { return {std::move(text), kAppCaption, MessageIcon::Warning}; }

// A head text, then the file and what is wrong with it, each on its own line.
Message FileWarning(const char* head, const FileProblem& p) {
    return Warning(head + ("\n\n" + p.file + "\n" + p.reason));
}

}  // namespace

Message FileProblemMessage(const FileProblem& p) {
    switch (p.kind) {
        case FileProblemKind::CannotOpen:
            return FileWarning(kOpenFailedText, p);
        case FileProblemKind::WrongFormat:
            return {kWrongFormatText, kWarningCaption, MessageIcon::Warning};
        case FileProblemKind::Damaged:
            return Warning(std::string(kDamagedFileText) + "\n\n" + p.file + "\n原因：" + p.reason);
        case FileProblemKind::CannotSave:
            return FileWarning(kSaveFailedText, p);
        case FileProblemKind::ReadOnlyTarget:
            return Warning(std::string(kReadOnlyTargetText) + "\n\n" + p.file);
        case FileProblemKind::ForeignLink:
            return FileWarning(kForeignLinkText, p);
        case FileProblemKind::UnsupportedKind:
            return Warning(std::string(kUnsupportedExtensionText) + "\n\n" + p.file);
        case FileProblemKind::JsonNotAlone:
            return Warning(kJsonNotAloneText);
        case FileProblemKind::JsonSyntax:
            return {JsonSyntaxText(p), kErrorCaption, MessageIcon::Warning};
        case FileProblemKind::JsonStructure:
            return {std::string(kJsonStructureText) + "\n\n原因：" + p.reason + "\n位置：" +
                        (p.place.empty() ? "/" : p.place),
                    kErrorCaption, MessageIcon::Warning};
        case FileProblemKind::ExportFailed:
            return FileWarning(kExportFailedText, p);
        case FileProblemKind::SheetRenamed:
            return Warning(std::string(kSheetCreateFailedText) + "\n\n钻孔“" + p.reason +
                           "”的名称不能用作工作表名，其数据已写入工作表“" + p.place + "”。");
        case FileProblemKind::RowsLost:
            return Warning(std::string(kRowWriteFailedText) + "\n\n工作表“" + p.place + "”有 " +
                           std::to_string(p.position) + " 行未能写入（超出工作表的行数上限）。");
        case FileProblemKind::NoHoles:
            return {kNoHolesText, kAppCaption, MessageIcon::None};
        case FileProblemKind::ExchangeFileFailed:
            return {std::string(kGroupPlotFileFailedText) + "\n\n" + p.file + "\n" + p.reason, kAppCaption,
                    MessageIcon::None};
        case FileProblemKind::NamesCut:
            return Warning(kNamesCutText + CutLines(p.cuts) + "\n\n" + p.file);
        case FileProblemKind::NamesTooLong:
            return Warning(kNamesTooLongText + CutLines(p.cuts) + "\n\n" + p.file);
        case FileProblemKind::NamesCollide:
            return Warning(kNamesCollideText + CutLines(p.cuts) + "\n\n" + p.file);
    }
    return Warning(p.reason);
}

bool ShowFileResult(const FileResult& result) {
    for (const FileProblem& p : result.problems) ShowMessage(FileProblemMessage(p));
    return result.ok();
}

Message LongNamesQuestion(const std::string& file, const std::vector<NameCut>& cuts) {
    return {kNamesCutQuestionText + CutLines(cuts) + "\n\n" + file + "\n\n" + kNamesCutQuestionEnd, kQuestionCaption,
            MessageIcon::Question, MessageButtons::YesNo};
}

}  // namespace sondara
