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

const char* PartName(SurveyPart part) {
    switch (part) {
        case SurveyPart::Header:
            return "文件头";
        case SurveyPart::ProbeRecords:
            return "探管记录";
        case SurveyPart::SyncRecords:
            return "深度同步记录";
        case SurveyPart::HoleParams:
            return "钻孔参数";
        case SurveyPart::HoleCount:
            return "钻孔";
        case SurveyPart::HoleRecords:
            return "钻孔的记录";
    }
    return "";
}

// "钻孔参数", or "第 3 个钻孔的记录" for one hole's records.
std::string PartText(const SurveyDamage& d) {
    if (d.part == SurveyPart::HoleRecords && d.hole > 0) return "第 " + std::to_string(d.hole) + " 个钻孔的记录";
    return PartName(d.part);
}

}  // namespace

std::string SurveyDamageText(const SurveyDamage& d) {
    using Found = SurveyDamage::Found;
    switch (d.found) {
        case Found::None:
            return {};
        case Found::Empty:
            return "文件为空（0 字节）";
        case Found::EndsEarly:
            return "文件在" + PartText(d) + (d.part == SurveyPart::HoleCount ? "数" : "") + "处提前结束";
        case Found::CountTooLarge:
            return PartText(d) + "数为 " + std::to_string(d.count) + "，超出文件剩余的 " + std::to_string(d.bytesLeft) +
                   " 字节";
        case Found::NegativeCount:
            return PartText(d) + "数为负数（" + std::to_string(d.count) + "）";
        case Found::BytesAfterLastHole:
            return "最后一个钻孔之后多出 " + std::to_string(d.bytesLeft) + " 字节";
        case Found::TrailerMismatch:
            return "完整性校验不符：文件内容在保存后被改动或已损坏";
    }
    return {};
}

Message FileProblemMessage(const FileProblem& p) {
    switch (p.kind) {
        case FileProblemKind::CannotOpen:
            return FileWarning(kOpenFailedText, p);
        case FileProblemKind::WrongFormat:
            return {kWrongFormatText, kWarningCaption, MessageIcon::Warning};
        case FileProblemKind::Damaged:
            return Warning(std::string(kDamagedFileText) + "\n\n" + p.file + "\n原因：" + SurveyDamageText(p.damage));
        case FileProblemKind::CannotSave:
            return FileWarning(kSaveFailedText, p);
        case FileProblemKind::TooManyRecords:
            return Warning(std::string(kSaveFailedText) + "\n\n" + p.file + "\n记录数超出数据文件格式的上限");
        case FileProblemKind::ReadOnlyTarget:
            return Warning(std::string(kReadOnlyTargetText) + "\n\n" + p.file);
        case FileProblemKind::ForeignLink:
            return Warning(std::string(kForeignLinkText) + "\n\n" + p.file + "\n" + p.reason + "（所有者 uid " +
                           std::to_string(p.position) + "）");
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
        case FileProblemKind::NameNotInCodeSet:
            return {std::string(kGroupPlotFileFailedText) + "\n\n" + p.file + "\n钻孔名称“" + p.place +
                        "”无法用本机字符集 " + p.reason + " 表示",
                    kAppCaption, MessageIcon::None};
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
